// The page run's cuts of the nickname file's two kinds of lines (see
// base/nickname_file.h), with the mail client's own quirks: the separator is
// looked for from a fixed position. Positions are 1-based and 16-bit (see
// base/text_positions.h). The cuts are views into the line.
#pragma once

#include <string_view>

#include "base/nickname_file.h"
#include "page/converter_state.h"

namespace veltrana {

// The name ExtractNickname stores in `proc`.
inline constexpr const char* kExtractNicknameProc = "ExtractNickname()";

// The nickname of an alias line, and the 1-based position of the character
// that ends it (the first blank, or the closing quote, at or after the 8th
// character). A line without that character fails with code 5; a position
// past 32,767 with code 6.
struct NicknameCut {
  std::string_view nickname;
  Int16 separator;
};
[[nodiscard]] NicknameCut CutNickname(std::string_view alias_line, std::string_view quote);

// Cuts the nickname out of the alias line in `a` into `nickname`; stores
// "ExtractNickname()" in `proc`. Fails as CutNickname does. Returns the
// separator's position, so that the address text can be cut without
// searching again.
Int16 ExtractNickname(ConverterState& state);

// The address text of an alias line: everything after the separator at
// `separator`. Code 6 when it stands at 32,767.
[[nodiscard]] std::string_view AddressTextAfter(std::string_view alias_line, Int16 separator);

// The same, finding the separator first.
[[nodiscard]] std::string_view CutAddressText(std::string_view alias_line, std::string_view quote);

// The note text of a note line: everything after the first separator at or
// after the 7th character (a quote when the 6th character is one, a blank
// otherwise), or the whole line when there is none.
[[nodiscard]] std::string_view CutNoteText(std::string_view note_line, std::string_view quote);

}  // namespace veltrana
