// Numbers found again by a hash of what they stand for: an open-addressing
// table of eight-byte slots (32 bits of the hash and the number), at most
// half of them taken, so that a lookup touches one or two small slots
// instead of a node per key. What a number stands for is kept by the
// caller, which is asked whether a number found under a hash is the one:
// the table holds no keys of its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace veltrana {

// The 32 bits of a text's hash a slot keeps.
inline std::uint32_t HashOfText(std::string_view text) {
  const std::size_t hash = std::hash<std::string_view>{}(text);
  return static_cast<std::uint32_t>(hash ^ (hash >> 16 >> 16));
}

class HashSlots {
 public:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  static constexpr std::size_t kMostNumbers = 0x7FFFFFFF;  // so that the mask fits a hash

  // A number added under `hash` for which `is(number)` holds, or kNone.
  template <class Is>
  std::size_t Find(std::uint32_t hash, Is&& is) const {
    if (slots_.empty()) return kNone;
    const Slot& slot = slots_[SlotOf(hash, is)];
    return slot.number == 0 ? kNone : slot.number - 1;
  }

  // Find(hash, is) when it finds one; else adds `number` under `hash` and
  // returns kNone. A number of kMostNumbers or more is refused
  // (std::length_error).
  template <class Is>
  std::size_t FindOrAdd(std::uint32_t hash, std::size_t number, Is&& is) {
    if (number >= kMostNumbers) throw std::length_error("more keys than an index holds");
    if ((taken_ + 1) * 2 > slots_.size()) Grow(slots_.empty() ? 16 : slots_.size() * 2);
    Slot& slot = slots_[SlotOf(hash, is)];
    if (slot.number != 0) return slot.number - 1;
    slot = {hash, static_cast<std::uint32_t>(number + 1)};
    ++taken_;
    return kNone;
  }

  // Room for `numbers` numbers without growing.
  void Reserve(std::size_t numbers) {
    std::size_t slots = slots_.empty() ? 16 : slots_.size();
    while (slots < numbers * 2) slots *= 2;
    if (slots > slots_.size()) Grow(slots);
  }

  std::size_t size() const { return taken_; }

 private:
  struct Slot {
    std::uint32_t hash = 0;
    std::uint32_t number = 0;  // plus one; 0 for a free slot
  };

  // The slot of the number under `hash` that `is` accepts, or the free one
  // where it would go.
  template <class Is>
  std::size_t SlotOf(std::uint32_t hash, Is& is) const {
    const std::size_t mask = slots_.size() - 1;
    std::size_t at = hash & mask;
    while (slots_[at].number != 0 && !(slots_[at].hash == hash && is(slots_[at].number - 1))) {
      at = (at + 1) & mask;
    }
    return at;
  }

  // At most half the slots are taken, so a free one is always near.
  void Grow(std::size_t slots) {
    std::vector<Slot> old(slots);
    old.swap(slots_);
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
      if (slot.number == 0) continue;
      std::size_t at = slot.hash & mask;
      while (slots_[at].number != 0) at = (at + 1) & mask;
      slots_[at] = slot;
    }
  }

  std::vector<Slot> slots_;  // a power of two of them
  std::size_t taken_ = 0;
};

}  // namespace veltrana
