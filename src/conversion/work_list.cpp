#include "conversion/work_list.h"

#include <algorithm>

#include "base/case_fold.h"
#include "base/order_prefix.h"

namespace veltrana {

void NicknameWorkList::Append(std::string_view nickname) {
  added_.push_back(nickname);
  is_sorted_ = false;
}

bool NicknameWorkList::EqualBeyondPrefix(const Sorted& a, const Sorted& b) const {
  return CompareIgnoringCase(added_[a.added], added_[b.added]) == 0;
}

void NicknameWorkList::Clear() {
  added_.clear();
  sorted_.clear();
  is_sorted_ = true;
}

void NicknameWorkList::Sort() const {
  sorted_.clear();
  sorted_.reserve(added_.size());
  for (std::size_t i = 0; i < added_.size(); ++i) {
    sorted_.push_back({OrderPrefix(added_[i], FoldCase), static_cast<std::uint32_t>(i)});
  }
  // Equal keys keep the order of adding: the position is the last key.
  std::sort(sorted_.begin(), sorted_.end(), [this](const Sorted& l, const Sorted& r) {
    if (l.prefix != r.prefix) return l.prefix < r.prefix;
    const int order = CompareIgnoringCase(added_[l.added], added_[r.added]);
    return order != 0 ? order < 0 : l.added < r.added;
  });
  is_sorted_ = true;
}

}  // namespace veltrana
