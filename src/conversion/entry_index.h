// Which alias lines give the rows of each nickname, found in one reading of
// the nickname file.
//
// The run's rows follow a scan per work-list entry: read the file from its
// first line; on every alias line cut the nickname and the address text; on
// a line of the entry's nickname write a row, after reading one line ahead
// for the note. The line read ahead is not examined as an alias line in
// that scan. Done literally, that reads the whole file once per nickname.
// This index gives every scan's outcome from one reading:
//   - the rows of a scan for nickname X are the X alias lines that are not
//     read ahead, that is every other line of each run of adjacent X lines,
//     starting with its first;
//   - a scan fails where it first examines an alias line whose address text
//     cannot be cut (its separator at position 32,767), unless that line is
//     read ahead in that scan.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "conversion/work_list.h"

namespace veltrana {

// Alias lines are numbered 0, 1, 2 ... in the order they were recorded.
using AliasNumber = std::uint32_t;

struct EntryScan {
  // The alias lines that give rows, in file order.
  std::span<const AliasNumber> rows;
  // The alias line where the scan fails, if it does; rows after it are not
  // reached.
  std::optional<AliasNumber> failing;
};

class EntryIndex {
 public:
  // Makes room for `count` alias lines, so that recording them moves nothing.
  void Reserve(std::size_t count) { gives_row_.reserve(count); }

  // Records the next alias line, at 0-based line number `line` of the file,
  // with its nickname (a view the index keeps until Group). `cut_overflows`
  // tells that its address text cannot be cut. Lines must be recorded in
  // file order.
  void AddAliasLine(std::size_t line, std::string_view nickname, bool cut_overflows);

  // Groups the recorded lines by nickname. `work_list` holds their
  // nicknames, appended in the order the lines were recorded; its order
  // brings equal nicknames together. Call it once, after the last line.
  void Group(const NicknameWorkList& work_list);

  // The outcome of the scan for the work-list entry at 0-based `position`.
  [[nodiscard]] EntryScan ScanAt(std::size_t position) const;

 private:
  static constexpr AliasNumber kNone = ~AliasNumber{0};

  struct Last {
    std::size_t line;
    std::string_view nickname;
    bool gives_row;
  };
  // A line that cannot be cut, and the nickname of the alias line right
  // before it if that one gives a row (the line is read ahead in the scan
  // of that nickname).
  struct Uncuttable {
    AliasNumber alias;
    std::optional<std::string_view> read_ahead_by;
  };
  struct NicknameGroup {
    std::uint32_t first_row;  // into rows_
    std::uint32_t row_count;
    AliasNumber failing;  // kNone when its scan does not fail
  };

  void GroupEqualKeys(const NicknameWorkList& work_list, std::size_t begin, std::size_t end);
  void AddGroup(std::string_view nickname);
  void AddToGroup(const NicknameWorkList& work_list, std::size_t position);
  AliasNumber FirstFailureFor(std::string_view nickname) const;

  std::optional<Last> last_;
  std::vector<char> gives_row_;  // per alias line: examined, not read ahead, in its own scan
  std::vector<Uncuttable> uncuttable_;
  std::vector<NicknameGroup> groups_;
  std::vector<std::uint32_t> group_at_;  // per work-list position
  std::vector<AliasNumber> rows_;        // every group's rows, one group after another
};

}  // namespace veltrana
