// The run's work list: nicknames in ascending order with letter case ignored
// (ASCII and Latin-1 letters); entries whose keys are equal keep the order in
// which they were added. A nickname added twice is listed twice.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace veltrana {

class NicknameWorkList {
 public:
  // Adds a nickname. The list keeps the view: the text must stay as it is
  // for as long as the list holds it (the run adds views into the book).
  void Append(std::string_view nickname);
  // Makes room for `count` entries in all, so that appending up to there
  // moves nothing.
  void Reserve(std::size_t count) { added_.reserve(count); }
  std::size_t Count() const { return added_.size(); }
  // The entry at a 0-based index, in sorted order.
  std::string_view Item(std::size_t index) const { return added_[AddedAt(index)]; }
  // The 0-based position, in the order of adding, of the entry at `index`.
  std::size_t AddedAt(std::size_t index) const {
    SortIfNeeded();
    return sorted_.at(index).added;
  }
  // True when the entries at two indexes are equal with case ignored.
  bool EqualIgnoringCase(std::size_t first, std::size_t second) const {
    SortIfNeeded();
    const Sorted& a = sorted_.at(first);
    const Sorted& b = sorted_.at(second);
    return a.prefix == b.prefix && EqualBeyondPrefix(a, b);
  }
  void Clear();

 private:
  struct Sorted {
    std::uint64_t prefix;  // the folded first bytes, for quick comparisons
    std::uint32_t added;
  };

  void SortIfNeeded() const {
    if (!is_sorted_) Sort();
  }
  void Sort() const;
  bool EqualBeyondPrefix(const Sorted& a, const Sorted& b) const;
  std::vector<std::string_view> added_;
  mutable std::vector<Sorted> sorted_;
  mutable bool is_sorted_ = true;
};

}  // namespace veltrana
