#include "cli/export_command.h"

#include <filesystem>

#include "base/failure.h"
#include "base/file_names.h"
#include "base/program_identity.h"
#include "base/replacing_file.h"
#include "base/text_file.h"
#include "cli/console_window.h"
#include "contacts/contact_book.h"
#include "contacts/csv_writer.h"
#include "contacts/vcard_writer.h"
#include "conversion/book_failure_report.h"
#include "conversion/error_report.h"
#include "conversion/run_procedure.h"

namespace veltrana {

namespace {

constexpr const char* kReadContactsProc = "ReadContacts()";
constexpr std::size_t kWarningsShown = 20;  // of each kind

std::string Counted(std::size_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

class ExportRun {
 public:
  ExportRun(const ExportFiles& files, const ExportOptions& options, std::FILE* errors)
      : files_(files),
        options_(options),
        errors_(errors),
        window_(files.addressbook, files.book_path, errors, false) {}

  bool Run();
  const std::string& status() const { return window_.status_text(); }

 private:
  bool Export();
  void Write(const ContactBook& book, const std::filesystem::path& target);
  void Warn(const std::vector<std::string>& warnings, const std::string& prefix);
  void ReportWarnings(const ContactBook& book);
  void ReportFailure(const Failure& failure);

  const ExportFiles& files_;
  const ExportOptions& options_;
  std::FILE* errors_;
  ConsoleWindow window_;
  std::string_view proc_ = kRunProc;
};

bool ExportRun::Run() {
  window_.SetStatusText("Working...");
  if (files_.addressbook.empty()) {
    ReportEmptyName(window_);
    return false;
  }
  try {
    return Export();
  } catch (const std::exception&) {
    ReportFailure(CurrentFailure());
    return false;
  }
}

// The book is read and the target chosen as the page run does both, so that
// a book that cannot be read gets the page run's answers.
bool ExportRun::Export() {
  const bool csv = options_.format == ExportFormat::kCsv;
  const char* ending = ExportEnding(*options_.format);
  const std::string bytes = ReadTextFile(files_.book_path);
  const std::string target_text =
      options_.output ? *options_.output : WithEnding(files_.addressbook, ending);
  const std::filesystem::path target =
      files_.output_path.empty() ? WithEnding(files_.book_path, ending) : files_.output_path;
  if (NamesSameFile(target, files_.book_path)) {
    // Convert and Browse, enabled again there, are no buttons on the console.
    ReportWouldOverwrite(window_, "export", files_.addressbook);
    return false;
  }
  proc_ = kReadContactsProc;
  const ContactBook book = ReadContactBook(bytes, options_.charset_or_default());
  ReportWarnings(book);
  proc_ = csv ? "WriteCSVFile()" : "WriteVCardFile()";
  Write(book, target);
  const std::size_t lists = book.ListCount();
  window_.SetStatusText("Exported " + Counted(book.contacts.size() - lists, "contact", "contacts") +
                        " and " + Counted(lists, "list", "lists") + " to:\r\n" + target_text);
  return true;
}

void ExportRun::Write(const ContactBook& book, const std::filesystem::path& target) {
  ReplacingFile file;
  file.Open(target);
  if (options_.format == ExportFormat::kCsv) {
    WriteCsv(book.contacts, book.resolution, file);
  } else {
    WriteVCards(book.contacts, book.resolution, options_.version_or_default(), file);
  }
  file.Commit();
}

void ExportRun::Warn(const std::vector<std::string>& warnings, const std::string& prefix) {
  for (std::size_t i = 0; i < warnings.size() && i < kWarningsShown; ++i) {
    std::fprintf(errors_, "Warning: %s%s\n", prefix.c_str(), warnings[i].c_str());
  }
  if (warnings.size() > kWarningsShown) {
    std::fprintf(errors_, "Warning: ... and %zu more like these\n",
                 warnings.size() - kWarningsShown);
  }
}

void ExportRun::ReportWarnings(const ContactBook& book) {
  if (book.replaced_bytes > 0) {
    std::fprintf(errors_, "Warning: %s not text in %s replaced by U+FFFD\n",
                 Counted(book.replaced_bytes, "byte", "bytes").c_str(),
                 CharsetName(options_.charset_or_default()));
  }
  Warn(book.warnings, "");
  Warn(book.resolution.cycles, "a list leads back to itself, each member taken once: ");
  std::fflush(errors_);
}

void ExportRun::ReportFailure(const Failure& failure) {
  if (failure.code() == kFileNotFound && proc_ == kRunProc) {
    ReportMissingBook(window_, files_.addressbook);
  } else {
    window_.ShowMessage(ErrorReportText(failure, proc_), kStylePlain, kAppTitle);
  }
}

}  // namespace

int RunExportCommand(const ExportFiles& files, const ExportOptions& options, std::FILE* out,
                     std::FILE* errors) {
  ExportRun run(files, options, errors);
  const bool written = run.Run();
  PrintText(out, run.status() + "\r\n");
  if (std::fflush(out) != 0) return 1;
  return written ? 0 : 1;
}

}  // namespace veltrana
