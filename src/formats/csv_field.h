// A field of the CSV file as RFC 4180 writes it: in double quotes (doubled
// inside) when it holds a quote, a comma or a line break, each line break
// ("\n") as the file's own line end, CR LF.
#pragma once

#include <string>
#include <string_view>

namespace veltrana {

void AppendCsvField(std::string_view field, std::string& out);

}  // namespace veltrana
