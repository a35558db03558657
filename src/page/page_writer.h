// The page: a header (title, heading, a small table naming the address book
// and the date, the head of the entry table), one table row per entry, and a
// footer (the count and the credit lines). Every line ends with CR LF. The
// writer adds no escaping: the fields arrive ready for the page.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "base/calendar_date.h"
#include "base/file_names.h"  // BookTitle, StripPath
#include "base/replacing_file.h"
#include "page/converter_state.h"

namespace veltrana {

// "05-Mar-1997": two-digit day, the month's abbreviated name as the C
// library's current locale (LC_TIME) gives it ("Jan".."Dec" in the "C"
// locale), four-digit year.
std::string PageDateText(const CalendarDate& date);

// Starts the page at `htmlfile` and writes its header. Stores
// "WriteHeader()" in `proc`.
void WriteHeader(ConverterState& state, ReplacingFile& page, const std::filesystem::path& htmlfile,
                 const CalendarDate& today);

// Writes the row of the current entry, then adds 1 to `ctr` (code 6 when it
// holds 32,767 already; the row is written all the same). Stores
// "WriteHTMLLine()" in `proc`.
void WriteHTMLLine(ConverterState& state, ReplacingFile& page);

// Writes the footer and completes the page. Stores "WriteFooter()" in `proc`.
void WriteFooter(ConverterState& state, ReplacingFile& page);

}  // namespace veltrana
