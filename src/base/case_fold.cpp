#include "base/case_fold.h"

#include <algorithm>

namespace veltrana {

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

std::string FoldedCopy(std::string_view text) {
  std::string folded(text);
  for (char& c : folded) c = static_cast<char>(FoldCase(c));
  return folded;
}

}  // namespace veltrana
