#include "contacts/text_index.h"

#include <functional>

namespace veltrana {

std::size_t TextIndex::Find(std::string_view text) const {
  if (slots_.empty()) return kNone;
  const std::size_t hash = std::hash<std::string_view>{}(text);
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
    const Slot& slot = slots_[at];
    if (slot.number == kNone) return kNone;
    if (slot.hash == hash && keys_[slot.number] == text) return slot.number;
  }
}

std::size_t TextIndex::FreeSlot(std::size_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  std::size_t at = hash & mask;
  while (slots_[at].number != kNone) at = (at + 1) & mask;
  return at;
}

std::size_t TextIndex::Add(std::string_view text) {
  if ((keys_.size() + 1) * 2 > slots_.size()) Grow(slots_.empty() ? 16 : slots_.size() * 2);
  const std::size_t number = keys_.size();
  keys_.push_back(text);
  const std::size_t hash = std::hash<std::string_view>{}(text);
  slots_[FreeSlot(hash)] = {hash, number};
  return number;
}

bool TextIndex::Insert(std::string_view text) {
  if (Find(text) != kNone) return false;
  Add(text);
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
  for (const Slot& slot : old) {
    if (slot.number != kNone) slots_[FreeSlot(slot.hash)] = slot;
  }
}

}  // namespace veltrana
