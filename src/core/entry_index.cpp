#include "core/entry_index.h"

namespace veltrana {

void EntryIndex::AddAliasLine(std::size_t line, std::string_view nickname, bool cut_overflows) {
  const bool follows_own_row = last_alias_ && last_alias_->line + 1 == line &&
                               last_alias_->gives_row && last_alias_->nickname == nickname;
  const bool gives_row = !follows_own_row;
  if (gives_row) groups_[nickname].rows.push_back(line);
  if (cut_overflows) {
    std::optional<std::string_view> read_ahead_by;
    if (last_alias_ && last_alias_->line + 1 == line && last_alias_->gives_row) {
      read_ahead_by = last_alias_->nickname;
    }
    uncuttable_.push_back({line, read_ahead_by});
  }
  last_alias_ = LastAlias{line, nickname, gives_row};
}

EntryScan EntryIndex::ScanFor(std::string_view nickname) {
  Group& group = groups_.at(nickname);
  if (!group.failing_line_known) {
    // Lines read ahead in this scan are each right after one of its rows, so
    // this walk is bounded by the group's own size over all scans.
    for (const Uncuttable& candidate : uncuttable_) {
      if (candidate.read_ahead_by != nickname) {
        group.failing_line = candidate.line;
        break;
      }
    }
    group.failing_line_known = true;
  }
  return {&group.rows, group.failing_line};
}

}  // namespace veltrana
