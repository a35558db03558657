// Texts, each once, numbered in the order added: the folded nicknames of a
// book (the number is the record's), the UIDs or names already given. An
// open-addressing table of hashes and numbers, so that a lookup touches one
// or two small slots instead of a node per text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace veltrana {

class TextIndex {
 public:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

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
  // Eight bytes a slot, so that the table stays small: part of the text's
  // hash, and its number plus one (0 for a free slot).
  struct Slot {
    std::uint32_t hash = 0;
    std::uint32_t number = 0;
  };
  void Grow(std::size_t slots);
  std::size_t SlotOf(std::string_view text, std::uint32_t hash) const;

  std::vector<Slot> slots_;             // a power of two of them, at most half in use
  std::vector<std::string_view> keys_;  // per number, its text
};

}  // namespace veltrana
