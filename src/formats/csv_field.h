// A field of the CSV file as RFC 4180 writes it: in double quotes (doubled
// inside) when it holds a quote, a comma or a line break, each line break
// ("\n") as the file's own line end, CR LF.
//
// A spreadsheet that opens the file takes a cell that begins with "=", "+",
// "-", "@", a tab or a CR for a formula, and runs it ("=cmd|' /C calc'!A0",
// "=HYPERLINK(...)"). Such a field is written with a "'" before it, which
// the spreadsheet shows as text, unless it is a phone number or a number as
// written ("+44 114 555 0101", "-5", "+1 (555) 010-0199 ext. 7"): digits,
// blanks and "+-()./", and an extension at the end ("x", "ext", "ext.",
// "extension" and its digits), which no formula can call anything with.
// Those stay byte for byte.
#pragma once

#include <string>
#include <string_view>

namespace veltrana {

void AppendCsvField(std::string_view field, std::string& out);

}  // namespace veltrana
