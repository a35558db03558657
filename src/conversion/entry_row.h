// One entry of the page: from its alias line, and the line after it, to its
// table row.
#pragma once

#include <optional>
#include <string_view>

#include "base/replacing_file.h"
#include "page/converter_state.h"

namespace veltrana {

// Cuts the nickname and the address text out of `alias_line`, formats the
// address, takes `next_line` (when the file has one) as the entry's note
// line if it is one, and writes the row. `proc` ends as it began.
void WriteEntryRow(ConverterState& state, ReplacingFile& page, std::string_view alias_line,
                   std::optional<std::string_view> next_line);

}  // namespace veltrana
