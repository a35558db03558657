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

#include <cstdint>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace veltrana {

struct EntryScan {
  // 0-based line numbers of the alias lines that give rows, in file order.
  const std::vector<std::size_t>* rows = nullptr;
  // The line where the scan fails, if it does; rows after it are not reached.
  std::optional<std::size_t> failing_line;
};

class EntryIndex {
 public:
  // Records the alias line at 0-based line number `line` with its nickname.
  // `cut_overflows` tells that its address text cannot be cut. Lines must be
  // recorded in file order.
  void AddAliasLine(std::size_t line, std::string_view nickname, bool cut_overflows);

  // The outcome of the scan for `nickname`, which must have been recorded.
  EntryScan ScanFor(std::string_view nickname);

 private:
  struct Group {
    std::vector<std::size_t> rows;
    bool failing_line_known = false;
    std::optional<std::size_t> failing_line;
  };
  struct LastAlias {
    std::size_t line = 0;
    std::string_view nickname;
    bool gives_row = false;  // examined, not read ahead, in its own scan
  };

  std::unordered_map<std::string_view, Group> groups_;
  std::optional<LastAlias> last_alias_;
  // For each line that cannot be cut: the alias line right before it, if
  // that one gives a row (so the line is read ahead in that nickname's scan).
  struct Uncuttable {
    std::size_t line;
    std::optional<std::string_view> read_ahead_by;
  };
  std::vector<Uncuttable> uncuttable_;
};

}  // namespace veltrana
