#include "contacts/text_index.h"

#include <functional>
#include <stdexcept>

namespace veltrana {

namespace {

constexpr std::size_t kMostTexts = 0x7FFFFFFF;  // so that the slots' mask fits a hash

std::uint32_t HashOf(std::string_view text) {
  const std::size_t hash = std::hash<std::string_view>{}(text);
  return static_cast<std::uint32_t>(hash ^ (hash >> 16 >> 16));
}

}  // namespace

std::size_t TextIndex::Find(std::string_view text) const {
  if (slots_.empty()) return kNone;
  const Slot& slot = slots_[SlotOf(text, HashOf(text))];
  return slot.number == 0 ? kNone : slot.number - 1;
}

// The slot that holds `text` (whose hash is `hash`), or the free one where
// it would go.
std::size_t TextIndex::SlotOf(std::string_view text, std::uint32_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  std::size_t at = hash & mask;
  while (slots_[at].number != 0 &&
         !(slots_[at].hash == hash && keys_[slots_[at].number - 1] == text)) {
    at = (at + 1) & mask;
  }
  return at;
}

std::size_t TextIndex::Add(std::string_view text) {
  const std::size_t number = keys_.size();
  Insert(text);
  return number;
}

bool TextIndex::Insert(std::string_view text) {
  if (keys_.size() >= kMostTexts) throw std::length_error("more texts than an index holds");
  if ((keys_.size() + 1) * 2 > slots_.size()) Grow(slots_.empty() ? 16 : slots_.size() * 2);
  const std::uint32_t hash = HashOf(text);
  Slot& slot = slots_[SlotOf(text, hash)];
  if (slot.number != 0) return false;
  keys_.push_back(text);
  slot = {hash, static_cast<std::uint32_t>(keys_.size())};
  return true;
}

void TextIndex::Reserve(std::size_t texts) {
  keys_.reserve(texts);
  std::size_t slots = slots_.empty() ? 16 : slots_.size();
  while (slots < texts * 2) slots *= 2;
  if (slots > slots_.size()) Grow(slots);
}

// At most half the slots are taken, so a free one is always near.
void TextIndex::Grow(std::size_t slots) {
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

}  // namespace veltrana
