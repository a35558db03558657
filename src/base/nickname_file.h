// The nickname file's vocabulary, which both of its readers share: the page
// run (conversion/alias_line.h, which keeps the mail client's own quirks of
// cutting) and the export (book/nickname_book.h, which is lenient). Only
// the words and characters live here; each reader cuts lines its own way.
//
//   alias line: "alias " nickname blank address-text, or
//               "alias " quote nickname quote address-text;
//   note line:  "note " nickname blank note-text, or the nickname quoted.
//
// Inside a value the marker character (code 3) stands for a line break.
#pragma once

#include <string_view>

namespace veltrana {

inline constexpr std::string_view kAliasKeyword = "alias ";
inline constexpr std::string_view kNoteKeyword = "note ";
// The quote around a nickname that holds blanks.
inline constexpr char kNicknameQuote = '"';
// The line-break marker inside a value.
inline constexpr char kLineBreakMarker = '\x03';

// Whether `line` is an alias line or a note line: it begins with the
// keyword exactly (letter case counts).
constexpr bool IsAliasLine(std::string_view line) {
  return line.starts_with(kAliasKeyword);
}
constexpr bool IsNoteLine(std::string_view line) {
  return line.starts_with(kNoteKeyword);
}

}  // namespace veltrana
