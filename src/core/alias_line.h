// The two kinds of nickname-file lines the run reads:
//   alias line: "alias " nickname blank address-text, or
//               "alias " quote nickname quote address-text;
//   note line:  "note " nickname blank note-text, or the nickname quoted.
// Positions are 1-based and 16-bit (see int16.h).
#pragma once

#include <string>
#include <string_view>

#include "core/converter_state.h"

namespace veltrana {

inline bool IsAliasLine(std::string_view line) {
  return StartsWith(line, "alias ");
}
inline bool IsNoteLine(std::string_view line) {
  return StartsWith(line, "note ");
}

// Cuts the nickname out of the alias line in `a` into `nickname`; stores
// "ExtractNickname()" in `proc`. A line without the blank (or closing quote)
// that ends the nickname fails with code 5.
void ExtractNickname(ConverterState& state);

// Where the nickname of an alias line starts: 8 after an opening quote, 7
// otherwise.
Int16 NicknameStart(std::string_view alias_line, std::string_view quote);

// The 1-based position of the character that ends the nickname of an alias
// line (the first blank, or the closing quote, at or after the 8th
// character), or 0 when there is none. Code 6 past 32,767.
Int16 NicknameEnd(std::string_view alias_line, std::string_view quote);

// The address text of an alias line: everything after the character that
// ends the nickname. Code 6 when that character stands at 32,767.
std::string CutAddressText(std::string_view alias_line, std::string_view quote);

// The note text of a note line: everything after the first separator at or
// after the 7th character (a quote when the 6th character is one, a blank
// otherwise), or the whole line when there is none.
std::string CutNoteText(std::string_view note_line, std::string_view quote);

}  // namespace veltrana
