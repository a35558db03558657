// The contacts as one CSV file (RFC 4180) with the columns of the common
// desktop mail program's contact export, which web-mail and desktop address
// books map on import: UTF-8 with a byte-order mark, CR LF line ends, one
// row per contact in book order.
//
// A column holds one value. What has no column left (a fourth address, a
// second web page, a second home address) goes into Notes as "tag: value"
// lines, so that nothing is lost.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "contacts/contact.h"
#include "contacts/contact_book.h"
#include "contacts/export_sink.h"
#include "contacts/list_resolution.h"

namespace veltrana {

inline constexpr std::size_t kCsvColumnCount = 43;

// The fields of a row, unquoted, line breaks as CR LF, one per column.
using CsvRow = std::array<std::string, kCsvColumnCount>;

// The row of the book's contact `index`.
CsvRow CsvFieldsOf(const ContactBook& book, std::size_t index);

// A field as RFC 4180 writes it: in double quotes (doubled inside) when it
// holds a quote, a comma or a line break.
std::string CsvField(std::string_view field);

// The header and a row per contact; each contact's book name is its
// Categories.
void WriteCsv(const ContactBook& book, const ExportSink& sink);

}  // namespace veltrana
