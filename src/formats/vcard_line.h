// The text of vCard content lines: values escaped, lines folded.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace veltrana {

// A text value appended to `out`: "\" and "," escaped with a backslash, a
// line break as "\n", and ";" escaped when `semicolon` says so (it must be
// inside a compound value, where it separates the components).
void AppendEscapedVCardText(std::string_view text, bool semicolon, std::string& out);

// A URI value as it is written: not escaped as text (a backslash before a
// comma would become part of the link), but ";" escaped when `semicolon`
// says so; line breaks and blanks at its ends left out.
[[nodiscard]] std::string VCardUri(std::string_view uri, bool semicolon);

// Ends the content line that `text` holds from `start` on, ready for the
// file: folded so that no line is longer than 75 octets (a fold is CR LF and
// one blank, and never splits a UTF-8 character), ended by CR LF. A line is
// mostly written in place; only a long one is copied out to be folded.
void EndVCardLine(std::string& text, std::size_t start);

}  // namespace veltrana
