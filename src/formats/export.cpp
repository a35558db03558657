#include "formats/export.h"

#include <algorithm>

#include "formats/csv_writer.h"
#include "formats/html_writer.h"
#include "formats/ldif_writer.h"
#include "formats/mutt_writer.h"
#include "formats/vcard_writer.h"

namespace veltrana {

const std::vector<ExportFormatInfo>& ExportFormats() {
  static const std::vector<ExportFormatInfo> kFormats{
      {ExportFormat::kVCard30, "vcard", ".vcf",
       "vCard 3.0: phones, Google, Apple, Evolution, most address books"},
      {ExportFormat::kVCard40, "vcard4", ".vcf",
       "vCard 4.0: Thunderbird and address books that read groups"},
      {ExportFormat::kCsv, "csv", ".csv", "CSV with Outlook's column names: Outlook, Google"},
      {ExportFormat::kLdif, "ldif", ".ldif",
       "LDIF as Thunderbird writes it: Thunderbird, lists included"},
      {ExportFormat::kMutt, "mutt", ".aliases", "alias file for mutt, NeoMutt and aerc"},
      {ExportFormat::kHtml, "html", ".html", "Web page for today"},
  };
  return kFormats;
}

const ExportFormatInfo& ExportFormatOf(ExportFormat format) {
  for (const ExportFormatInfo& info : ExportFormats()) {
    if (info.format == format) return info;
  }
  return ExportFormats().front();
}

std::optional<ExportFormat> ExportFormatNamed(std::string_view name) {
  for (const ExportFormatInfo& info : ExportFormats()) {
    if (info.name == name) return info.format;
  }
  return std::nullopt;
}

ExportResult ExportContacts(std::vector<BookBytes> books, ExportFormat format,
                            std::optional<Charset> charset, const ExportSink& sink,
                            const ExportProgress& progress, std::optional<CalendarDate> date) {
  const ContactBook book = ReadContactBooks(std::move(books), charset);
  // Each writer hands over one contact at a time, the CSV file its column
  // names first, the page its head (and its end after the last).
  const std::size_t total = book.size();
  std::size_t pieces = 0;
  const std::size_t before_first = format == ExportFormat::kCsv || format == ExportFormat::kHtml ? 1 : 0;
  const ExportSink counted = [&](std::string_view bytes) {
    sink(bytes);
    if (++pieces > before_first && progress)
      progress(std::min(pieces - before_first, total), total);
  };
  const ExportSink& out = progress ? counted : sink;
  std::vector<std::string> written_warnings;  // what a writer could not write as it stands
  switch (format) {
    case ExportFormat::kVCard30: WriteVCards(book, VCardVersion::k30, out); break;
    case ExportFormat::kVCard40: WriteVCards(book, VCardVersion::k40, out); break;
    case ExportFormat::kCsv: WriteCsv(book, out); break;
    case ExportFormat::kLdif: WriteLdif(book, out); break;
    case ExportFormat::kMutt: WriteMuttAliases(book, out, written_warnings); break;
    case ExportFormat::kHtml: WriteHtmlPage(book, date ? *date : TodayLocal(), out); break;
  }
  ExportResult result;
  result.lists = book.ListCount();
  result.contacts = book.size() - result.lists;
  for (const BookSummary& summary : book.books()) result.replaced_bytes += summary.replaced_bytes;
  result.books = book.books();
  result.warnings = book.warnings();
  for (const std::string& cycle : book.cycles()) {
    result.warnings.push_back("a list leads back to itself, each member taken once: " + cycle);
  }
  result.warnings.insert(result.warnings.end(), written_warnings.begin(), written_warnings.end());
  return result;
}

}  // namespace veltrana
