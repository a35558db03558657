// The formats floor: the contacts written as the files other address books
// read. Here the export as a window, the browser edition or the command line
// calls it: the formats with their names, file endings and descriptions, and
// one call that reads any number of books and writes one file of all their
// contacts through a sink. Nothing here knows files, windows or the command
// line.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/calendar_date.h"
#include "book/contact_book.h"
#include "formats/export_sink.h"
#include "text/charset.h"

namespace veltrana {

enum class ExportFormat { kVCard30, kVCard40, kCsv, kLdif, kMutt, kHtml };

struct ExportFormatInfo {
  ExportFormat format;
  std::string_view name;         // as the command line takes it: "vcard", "ldif"
  std::string_view extension;    // of the file, with its dot: ".vcf"
  std::string_view description;  // one line for a menu or the help
};

// Every format, in the order a menu lists them.
[[nodiscard]] const std::vector<ExportFormatInfo>& ExportFormats();
[[nodiscard]] const ExportFormatInfo& ExportFormatOf(ExportFormat format);
// The format a name stands for ("vcard" is vCard 3.0, "vcard4" 4.0).
[[nodiscard]] std::optional<ExportFormat> ExportFormatNamed(std::string_view name);

// What an export read and wrote.
struct ExportResult {
  std::vector<BookSummary> books;  // per book: its name, character set and counts
  std::size_t contacts = 0;        // people, all books together
  std::size_t lists = 0;
  std::size_t replaced_bytes = 0;
  std::vector<std::string> warnings;  // lines taken in part, lists that lead back to themselves
};

// Called after each contact (list or person) handed to the sink, with the
// number handed over so far and the number there are, for a progress line.
using ExportProgress = std::function<void(std::size_t written, std::size_t total)>;

// Reads `books` (the first is the main one; a nickname names a contact of
// its own book first) in `charset`, or each in the set its bytes suggest,
// and writes one file of all their contacts to `sink`, telling `progress`
// (when given) how far it is. The page of today is dated `date`, today's
// local date when none is given. Fails only as the sink or `progress` fails.
[[nodiscard]] ExportResult ExportContacts(std::vector<BookBytes> books, ExportFormat format,
                                          std::optional<Charset> charset, const ExportSink& sink,
                                          const ExportProgress& progress = nullptr,
                                          std::optional<CalendarDate> date = std::nullopt);

}  // namespace veltrana
