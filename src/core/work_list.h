// The run's work list: nicknames in ascending order with letter case ignored
// (ASCII and Latin-1 letters); entries whose keys are equal keep the order in
// which they were added. A nickname added twice is listed twice.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace veltrana {

// Orders two nicknames as the work list does: byte by byte, upper-case ASCII
// and Latin-1 letters folded to lower case. Negative, zero or positive.
int CompareIgnoringCase(std::string_view left, std::string_view right);

class NicknameWorkList {
 public:
  void Append(std::string nickname);
  std::size_t Count() const { return items_.size(); }
  // The entry at a 0-based index, in sorted order.
  const std::string& Item(std::size_t index) const;
  void Clear();

 private:
  void SortIfNeeded() const;

  mutable std::vector<std::string> items_;
  mutable bool sorted_ = true;
};

}  // namespace veltrana
