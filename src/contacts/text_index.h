// Texts, each once, numbered in the order added: the folded nicknames of a
// book (the number is the record's). The texts are the caller's; the index
// keeps a view of each and finds them through HashSlots.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "contacts/hash_slots.h"

namespace veltrana {

class TextIndex {
 public:
  static constexpr std::size_t kNone = HashSlots::kNone;

  // The number of `text`, or kNone.
  std::size_t Find(std::string_view text) const;
  // Adds `text`, which is not in the index yet and must outlive it; returns
  // its number.
  std::size_t Add(std::string_view text);
  // Adds `text`, which must outlive the index, unless it is there; whether
  // it was added. More than 2^31 - 1 texts are refused (std::length_error).
  bool Insert(std::string_view text);
  void Reserve(std::size_t texts);

  std::size_t size() const { return keys_.size(); }
  std::string_view KeyOf(std::size_t number) const { return keys_[number]; }

 private:
  HashSlots slots_;
  std::vector<std::string_view> keys_;  // per number, its text
};

}  // namespace veltrana
