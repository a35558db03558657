// The page of today: the contacts as one HTML5 page for a browser, a phone
// or a printer, beside the documented page of the conversion run, which
// stays as it is.
//
// One UTF-8 file that fetches nothing: its style and its small script are
// inline, allowed by a Content-Security-Policy by their hashes, with
// default-src 'none'. Every byte of the book is escaped; links are made
// only to http:, https: and mailto: addresses. The entries are sorted by
// nickname as the documented page sorts them (letter case ignored, equal
// keys in the order of the books), under a heading per first letter that a
// letter index jumps to. A list names its members, each a link to the
// member's entry; every entry has a "vCard" link (a data: URI of its vCard
// 3.0 card, as the vCard export writes it) that adds it to a phone or a
// contacts program. Without the script the page is whole and prints the
// same; with it, a search box narrows the entries as one types.
#pragma once

#include "base/calendar_date.h"
#include "book/contact_book.h"
#include "formats/export_sink.h"

namespace veltrana {

// The page of every contact of `book`, dated `date`: its head, then one
// piece per entry in sorted order (a letter's heading with its first), then
// its end, each handed to `sink`.
void WriteHtmlPage(const ContactBook& book, const CalendarDate& date, const ExportSink& sink);

}  // namespace veltrana
