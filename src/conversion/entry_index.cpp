#include "conversion/entry_index.h"

#include <algorithm>
#include <utility>

namespace veltrana {

void EntryIndex::AddAliasLine(std::size_t line, std::string_view nickname, bool cut_overflows) {
  const auto number = static_cast<AliasNumber>(gives_row_.size());
  const bool after_row = last_ && last_->line + 1 == line && last_->gives_row;
  const bool gives_row = !(after_row && last_->nickname == nickname);
  if (cut_overflows) {
    std::optional<std::string_view> read_ahead_by;
    if (after_row) read_ahead_by = last_->nickname;
    uncuttable_.push_back({number, read_ahead_by});
  }
  gives_row_.push_back(gives_row ? 1 : 0);
  last_ = Last{line, nickname, gives_row};
}

// The work list's order puts equal nicknames among neighbours that are
// equal with case ignored; nearly always such a run is one line long.
void EntryIndex::Group(const NicknameWorkList& work_list) {
  const std::size_t count = work_list.Count();
  group_at_.assign(count, 0);
  groups_.reserve(count);
  rows_.reserve(count);
  for (std::size_t begin = 0; begin < count;) {
    std::size_t end = begin + 1;
    while (end < count && work_list.EqualIgnoringCase(begin, end)) ++end;
    if (end - begin == 1) {
      AddGroup(work_list.Item(begin));
      AddToGroup(work_list, begin);
    } else {
      GroupEqualKeys(work_list, begin, end);
    }
    begin = end;
  }
}

// Positions begin to end hold nicknames that are equal with case ignored,
// in file order; those equal exactly make one group each.
void EntryIndex::GroupEqualKeys(const NicknameWorkList& work_list, std::size_t begin,
                                std::size_t end) {
  std::vector<std::size_t> positions(end - begin);
  for (std::size_t i = 0; i < positions.size(); ++i) positions[i] = begin + i;
  std::stable_sort(positions.begin(), positions.end(), [&work_list](std::size_t l, std::size_t r) {
    return work_list.Item(l) < work_list.Item(r);
  });
  for (std::size_t i = 0; i < positions.size(); ++i) {
    const std::string_view nickname = work_list.Item(positions[i]);
    if (i == 0 || work_list.Item(positions[i - 1]) != nickname) AddGroup(nickname);
    AddToGroup(work_list, positions[i]);
  }
}

// The work-list entry at `position` belongs to the group made last; its
// line is one of the group's rows unless it is read ahead.
void EntryIndex::AddToGroup(const NicknameWorkList& work_list, std::size_t position) {
  const auto alias = static_cast<AliasNumber>(work_list.AddedAt(position));
  NicknameGroup& group = groups_.back();
  if (gives_row_[alias] != 0) {
    rows_.push_back(alias);
    ++group.row_count;
  }
  group_at_[position] = static_cast<std::uint32_t>(groups_.size() - 1);
}

void EntryIndex::AddGroup(std::string_view nickname) {
  groups_.push_back({static_cast<std::uint32_t>(rows_.size()), 0, FirstFailureFor(nickname)});
}

// Lines read ahead in a scan are each right after one of its rows, so this
// walk is bounded by the size of the nickname's own group.
AliasNumber EntryIndex::FirstFailureFor(std::string_view nickname) const {
  for (const Uncuttable& candidate : uncuttable_) {
    if (candidate.read_ahead_by != nickname) return candidate.alias;
  }
  return kNone;
}

EntryScan EntryIndex::ScanAt(std::size_t position) const {
  const NicknameGroup& group = groups_[group_at_.at(position)];
  EntryScan scan{std::span<const AliasNumber>(rows_).subspan(group.first_row, group.row_count),
                 std::nullopt};
  if (group.failing != kNone) scan.failing = group.failing;
  return scan;
}

}  // namespace veltrana
