#include "core/work_list.h"

#include <algorithm>

namespace veltrana {

namespace {

unsigned char FoldCase(char c) {
  const auto byte = static_cast<unsigned char>(c);
  const bool ascii_upper = byte >= 'A' && byte <= 'Z';
  const bool latin1_upper = byte >= 0xC0 && byte <= 0xDE && byte != 0xD7;  // 0xD7 is the sign x
  return (ascii_upper || latin1_upper) ? static_cast<unsigned char>(byte + 0x20) : byte;
}

}  // namespace

int CompareIgnoringCase(std::string_view left, std::string_view right) {
  const std::size_t common = std::min(left.size(), right.size());
  for (std::size_t i = 0; i < common; ++i) {
    const unsigned char l = FoldCase(left[i]);
    const unsigned char r = FoldCase(right[i]);
    if (l != r) return l < r ? -1 : 1;
  }
  if (left.size() == right.size()) return 0;
  return left.size() < right.size() ? -1 : 1;
}

void NicknameWorkList::Append(std::string nickname) {
  if (!items_.empty() && CompareIgnoringCase(items_.back(), nickname) > 0) sorted_ = false;
  items_.push_back(std::move(nickname));
}

const std::string& NicknameWorkList::Item(std::size_t index) const {
  SortIfNeeded();
  return items_.at(index);
}

void NicknameWorkList::Clear() {
  items_.clear();
  sorted_ = true;
}

void NicknameWorkList::SortIfNeeded() const {
  if (sorted_) return;
  // A stable sort keeps equal keys in the order they were added.
  std::stable_sort(items_.begin(), items_.end(), [](const std::string& l, const std::string& r) {
    return CompareIgnoringCase(l, r) < 0;
  });
  sorted_ = true;
}

}  // namespace veltrana
