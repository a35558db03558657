// The text of vCard content lines: values escaped, lines folded.
#pragma once

#include <string>
#include <string_view>

namespace veltrana {

// A text value: "\" ";" "," escaped with a backslash, a line break as "\n".
std::string EscapeVCardText(std::string_view text);

// A content line ready for the file: folded so that no line is longer than
// 75 octets (a fold is CR LF and one blank, and never splits a UTF-8
// character), ended by CR LF.
std::string FoldedVCardLine(std::string_view line);

}  // namespace veltrana
