#include "cli/export_command.h"

#include <filesystem>

#include "base/failure.h"
#include "base/file_names.h"
#include "base/program_identity.h"
#include "base/replacing_file.h"
#include "base/system_text.h"
#include "base/text_file.h"
#include "cli/console_window.h"
#include "contacts/eudora_folder.h"
#include "contacts/export.h"
#include "conversion/book_failure_report.h"
#include "conversion/error_report.h"
#include "conversion/run_procedure.h"

namespace veltrana {

namespace {

constexpr std::size_t kWarningsShown = 20;  // of each kind

std::string Counted(std::size_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

// The operation the error report names when writing the file fails.
const char* WriteProc(ExportFormat format) {
  switch (format) {
    case ExportFormat::kVCard30:
    case ExportFormat::kVCard40: return "WriteVCardFile()";
    case ExportFormat::kCsv: return "WriteCSVFile()";
    case ExportFormat::kLdif: return "WriteLDIFFile()";
    case ExportFormat::kMutt: return "WriteAliasFile()";
  }
  return "WriteExportFile()";
}

class ExportRun {
 public:
  ExportRun(const ExportFiles& files, const ExportOptions& options, std::FILE* errors)
      : files_(files),
        options_(options),
        errors_(errors),
        window_(files.books.empty() ? std::string() : files.books.front().text,
                files.books.empty() ? std::filesystem::path() : files.books.front().path, errors,
                false) {}

  bool Run();
  const std::string& status() const { return window_.status_text(); }

 private:
  // A book found, its text as the user is shown it, and its bytes.
  struct Book {
    BookFile file;
    std::string text;
    std::string bytes;
  };

  bool Export();
  std::vector<Book> ReadBooks();
  void Warn(const std::vector<std::string>& warnings);
  void ReportWarnings(const ExportResult& result);
  void ReportFailure(const Failure& failure);

  const ExportFiles& files_;
  const ExportOptions& options_;
  std::FILE* errors_;
  ConsoleWindow window_;
  std::string_view proc_ = kRunProc;
  std::string missing_;  // the book or folder being read
};

bool ExportRun::Run() {
  window_.SetStatusText("Working...");
  if (files_.books.empty() || files_.books.front().text.empty()) {
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

// Every book of every path given, in that order, each read once.
std::vector<ExportRun::Book> ExportRun::ReadBooks() {
  std::vector<Book> books;
  for (const ExportPath& given : files_.books) {
    missing_ = given.text;
    const std::vector<BookFile> found = FindBooks(given.path);
    for (const BookFile& file : found) {
      const bool itself = found.size() == 1 && file.path == given.path;
      books.push_back({file, itself ? given.text : TextOfPath(file.path), {}});
      missing_ = books.back().text;
      books.back().bytes = ReadTextFile(file.path);
    }
  }
  return books;
}

// The books are read and the target chosen as the page run does both, so
// that a book that cannot be read gets the page run's answers.
bool ExportRun::Export() {
  const ExportFormatInfo& format = ExportFormatOf(options_.chosen_format());
  std::vector<Book> books = ReadBooks();
  const Book& first = books.front();
  const std::string target_text =
      options_.output ? *options_.output : WithEnding(first.text, format.extension);
  const std::filesystem::path target = files_.output_path.empty()
                                           ? WithEnding(first.file.path, format.extension)
                                           : files_.output_path;
  for (const Book& book : books) {
    if (NamesSameFile(target, book.file.path)) {
      // Convert and Browse, enabled again there, are no buttons on the console.
      ReportWouldOverwrite(window_, "export", book.text);
      return false;
    }
  }
  std::vector<BookBytes> inputs;
  for (Book& book : books) inputs.push_back({book.file.name, std::move(book.bytes)});
  proc_ = WriteProc(format.format);
  ReplacingFile file;
  file.Open(target);
  const ExportResult result =
      ExportContacts(std::move(inputs), format.format, options_.charset,
                     [&file](std::string_view bytes) { file.Write(bytes); });
  file.Commit();
  ReportWarnings(result);
  std::string status;
  for (std::size_t i = 0; i < books.size(); ++i) {
    const BookSummary& book = result.books[i];
    status += books[i].text + " (" + book.name + ", " + CharsetName(book.charset) +
              "): " + Counted(book.contacts - book.lists, "contact", "contacts") + " and " +
              Counted(book.lists, "list", "lists") + "\r\n";
  }
  window_.SetStatusText(status + "Exported " + Counted(result.contacts, "contact", "contacts") +
                        " and " + Counted(result.lists, "list", "lists") + " to:\r\n" +
                        target_text);
  return true;
}

void ExportRun::Warn(const std::vector<std::string>& warnings) {
  for (std::size_t i = 0; i < warnings.size() && i < kWarningsShown; ++i) {
    std::fprintf(errors_, "Warning: %s\n", warnings[i].c_str());
  }
  if (warnings.size() > kWarningsShown) {
    std::fprintf(errors_, "Warning: ... and %zu more like these\n",
                 warnings.size() - kWarningsShown);
  }
}

void ExportRun::ReportWarnings(const ExportResult& result) {
  for (const BookSummary& book : result.books) {
    if (book.replaced_bytes == 0) continue;
    std::fprintf(errors_, "Warning: %s%s not text in %s replaced by U+FFFD\n",
                 result.books.size() > 1 ? (book.name + ": ").c_str() : "",
                 Counted(book.replaced_bytes, "byte", "bytes").c_str(),
                 CharsetName(book.charset).c_str());
  }
  Warn(result.warnings);
  std::fflush(errors_);
}

void ExportRun::ReportFailure(const Failure& failure) {
  if (failure.code() == kFileNotFound && proc_ == kRunProc) {
    ReportMissingBook(window_, missing_);
  } else {
    window_.ShowMessage(ErrorReportText(failure, proc_), MessageStyle::kPlain, kAppTitle);
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
