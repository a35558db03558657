// The contacts as one CSV file (RFC 4180) with the columns of the common
// desktop mail program's contact export (csv_columns.h), which web-mail and
// desktop address books map on import: UTF-8 with a byte-order mark, CR LF
// line ends, one row per contact in book order.
//
// A column holds one value. What has no column left (a fourth address, a
// second web page, a second home address) goes into Notes as "tag: value"
// lines, so that nothing is lost.
#pragma once

#include "book/contact_book.h"
#include "formats/export_sink.h"

namespace veltrana {

// The header and a row per contact; each contact's book name is its
// Categories.
void WriteCsv(const ContactBook& book, const ExportSink& sink);

}  // namespace veltrana
