#include "formats/csv_field.h"

#include <algorithm>

namespace veltrana {

void AppendCsvField(std::string_view field, std::string& out) {
  const bool plain = std::none_of(field.begin(), field.end(), [](char c) {
    return c == '"' || c == ',' || c == '\r' || c == '\n';
  });
  if (plain) {
    out.append(field);
    return;
  }
  out += '"';
  for (const char c : field) {
    if (c == '"') {
      out.append("\"\"");
    } else if (c == '\n') {
      out.append("\r\n");
    } else {
      out += c;
    }
  }
  out += '"';
}

}  // namespace veltrana
