#include "export/export_run.h"

#include <deque>
#include <utility>

#include "base/bounded_trap.h"
#include "base/failure.h"
#include "base/file_names.h"
#include "base/number_text.h"
#include "base/program_identity.h"
#include "base/replacing_file.h"
#include "base/system_text.h"
#include "base/text_file.h"
#include "conversion/book_failure_report.h"
#include "conversion/error_report.h"
#include "conversion/run_front.h"
#include "conversion/run_procedure.h"
#include "export/eudora_folder.h"

namespace veltrana {

namespace {

constexpr std::size_t kWarningsShown = 20;  // of each kind
constexpr std::size_t kProgressEvery = 50;  // contacts between two progress texts

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
    case ExportFormat::kHtml: return "WriteWebPage()";
  }
  return "WriteExportFile()";
}

// The window was closed during the run.
struct WindowClosing {};

class ExportRun {
 public:
  ExportRun(const std::vector<ExportPath>& paths, const RunFront& front,
            const ExportRunOptions& options)
      : paths_(paths), front_(front), view_(front.view()), options_(options) {}

  ExportOutcome Run();

 private:
  // A book found, its text as the user is shown it, and its bytes.
  struct Book {
    BookFile file;
    std::string text;
    std::string bytes;
    native::FileId id;
  };

  ExportOutcome::End Steps();
  ExportOutcome::End Export();
  void ReadBooks(const ExportPath& given, std::size_t known = 0);
  ExportPath FirstBookPlace() const;
  bool Refused(const ExportTarget& target);
  void Write(const ExportTarget& target);
  void Progress(std::size_t written, std::size_t total);
  void Summarize(const ExportResult& result, const ExportTarget& target);
  void Trap(const Failure& failure);
  void ReportFailure(const Failure& failure);

  const std::vector<ExportPath>& paths_;
  const RunFront& front_;
  RunView& view_;
  const ExportRunOptions& options_;
  std::vector<Book> books_;
  std::deque<ReplacingFile::Protect> keep_books_;  // no export writes over a book it reads
  unsigned shared_permissions_ = 077;  // the group's and others' that every book read grants
  std::string_view proc_ = kRunProc;
  std::string missing_;  // the book or folder being read
  ExportOutcome outcome_;
};

// Everything the export does, from its first step, is under its error trap.
ExportOutcome ExportRun::Run() {
  try {
    outcome_.end = Steps();
  } catch (const WindowClosing&) {
    outcome_.end = ExportOutcome::End::kClosing;
  } catch (const std::exception&) {
    outcome_.end = ExportOutcome::End::kFailed;
    Trap(CurrentFailure());
  }
  return std::move(outcome_);
}

ExportOutcome::End ExportRun::Steps() {
  view_.SetStatusText("Working...");
  for (const Button button : {Button::kConvert, Button::kBrowse, Button::kView, Button::kExport}) {
    front_.SetButtonEnabled(button, false);
  }
  if (view_.PumpEvents() == PumpResult::kWindowClosing) return ExportOutcome::End::kClosing;
  if (paths_.empty() || paths_.front().text.empty()) {
    ReportEmptyName(front_);
    return ExportOutcome::End::kFailed;
  }
  return Export();
}

// The export's error trap, bounded as the page run's is.
void ExportRun::Trap(const Failure& failure) {
  TrapBounded(failure, [this](const Failure& current) { ReportFailure(current); });
}

// The books are read and the target chosen as the page run does both, so
// that a book that cannot be read gets the page run's answers.
ExportOutcome::End ExportRun::Export() {
  for (const ExportPath& given : paths_) ReadBooks(given);
  // A folder given stands for its books: the target is named after the first.
  ExportProposal proposal{FirstBookPlace(), std::nullopt};
  if (paths_.size() == 1 && books_.size() == 1) {
    proposal.eudora_folder = EudoraFolderOfMainBook(books_.front().file.path);
  }
  const std::optional<ExportTarget> target = options_.choose_target(proposal);
  if (!target) return ExportOutcome::End::kCancelled;
  if (target->whole_folder && proposal.eudora_folder) {
    // The main book, read already, comes first; the folder's others join it.
    ReadBooks({TextOfPath(*proposal.eudora_folder), *proposal.eudora_folder}, 1);
  }
  if (Refused(*target)) return ExportOutcome::End::kFailed;
  Write(*target);
  return ExportOutcome::End::kWritten;
}

// Every book `given` stands for, in order, each read once; the first
// `known` of them are read already.
void ExportRun::ReadBooks(const ExportPath& given, std::size_t known) {
  missing_ = given.text;
  const std::vector<BookFile> found = FindBooks(given.path, &outcome_.warnings);
  // Those read already keep their bytes and take their names in the folder.
  for (std::size_t i = 0; i < known && i < found.size(); ++i) books_[i].file = found[i];
  for (std::size_t i = known; i < found.size(); ++i) {
    const BookFile& file = found[i];
    const bool itself = found.size() == 1 && file.path == given.path;
    books_.push_back({file, itself ? given.text : TextOfPath(file.path), {}, {}});
    missing_ = books_.back().text;
    unsigned permissions = 0;
    books_.back().bytes = ReadTextFile(file.path, &books_.back().id, &permissions);
    shared_permissions_ &= permissions;
    keep_books_.emplace_back(books_.back().id);
  }
}

// Where the export is named after: the first book, unless the first path
// given is a folder whose first book lies elsewhere (in its Nickname
// folder, or in a folder eudora.ini names): then that book's name in the
// folder given.
ExportPath ExportRun::FirstBookPlace() const {
  const ExportPath& given = paths_.front();
  const Book& first = books_.front();
  std::error_code unknown;
  if (!std::filesystem::is_directory(given.path, unknown) || first.file.path == given.path ||
      NamesSameFile(first.file.path.parent_path(), given.path)) {
    return {first.text, first.file.path};
  }
  const std::filesystem::path name = first.file.path.filename();
  std::string text = given.text;
  if (!text.empty() && text.back() != '/' && text.back() != '\\') {
    text += static_cast<char>(std::filesystem::path::preferred_separator);
  }
  return {text + TextOfPath(name), given.path / name};
}

// A target that is one of the books (by another name or a link too).
bool ExportRun::Refused(const ExportTarget& target) {
  // The standard output may be a book too (`-o - >> book.txt`).
  const std::optional<native::FileId> output =
      target.standard_output ? native::IdOfStandardOutput() : std::nullopt;
  if (target.standard_output && !output) return false;
  for (const Book& book : books_) {
    if (target.standard_output ? *output == book.id : NamesSameFile(target.path, book.file.path)) {
      ReportWouldOverwrite(front_, "export", book.text);
      return true;
    }
  }
  return false;
}

void ExportRun::Write(const ExportTarget& target) {
  std::vector<BookBytes> inputs;
  for (Book& book : books_) inputs.push_back({book.file.name, std::move(book.bytes)});
  proc_ = WriteProc(target.format);
  // A failure from here on names the one book, or the export of several.
  if (books_.size() > 1) missing_ = target.text;
  ReplacingFile file;  // abandoned unless committed
  if (target.standard_output) {
    file.OpenStandardOutput();
  } else {
    // A device or a pipe named as the target is written into, never replaced.
    // The file allows no one the books do not: a private book gives a
    // private export.
    file.Open(target.path, ReplacingFile::NonRegular::kWriteInto,
              target.named_by_program ? ReplacingFile::Named::kByProgram
                                      : ReplacingFile::Named::kByUser,
              07700u | shared_permissions_);
  }
  const ExportResult result = ExportContacts(
      std::move(inputs), target.format, options_.charset,
      [&file](std::string_view bytes) { file.Write(bytes); },
      [this](std::size_t written, std::size_t total) { Progress(written, total); },
      options_.date);
  file.Commit();
  Summarize(result, target);
}

void ExportRun::Progress(std::size_t written, std::size_t total) {
  if (written % kProgressEvery != 0) return;
  view_.SetStatusText("Exported " + NumberText(static_cast<long long>(written)) + " of " +
                      NumberText(static_cast<long long>(total)) + " ...");
  if (view_.PumpEvents() == PumpResult::kWindowClosing) throw WindowClosing{};
}

void ExportRun::Summarize(const ExportResult& result, const ExportTarget& target) {
  outcome_.contacts = result.contacts + result.lists;
  for (std::size_t i = 0; i < books_.size() && i < result.books.size(); ++i) {
    const BookSummary& book = result.books[i];
    outcome_.book_lines.push_back(
        books_[i].text + " (" + book.name + ", " + CharsetName(book.charset) +
        "): " + Counted(book.contacts - book.lists, "contact", "contacts") + " and " +
        Counted(book.lists, "list", "lists"));
  }
  for (const BookSummary& book : result.books) {
    if (book.replaced_bytes == 0) continue;
    outcome_.warnings.push_back((result.books.size() > 1 ? book.name + ": " : std::string()) +
                                Counted(book.replaced_bytes, "byte", "bytes") + " not text in " +
                                CharsetName(book.charset) + " replaced by U+FFFD");
  }
  // A run of the wrong file (a page, a letter) would end as a success.
  for (std::size_t i = 0; i < books_.size() && i < result.books.size(); ++i) {
    if (result.books[i].contacts != 0) continue;
    outcome_.warnings.push_back("no contacts in " +
                                (result.books.size() > 1 ? books_[i].text : std::string("it")) +
                                ": is it a Eudora address book (nndbase.txt)?");
  }
  for (std::size_t i = 0; i < result.warnings.size() && i < kWarningsShown; ++i) {
    outcome_.warnings.push_back(result.warnings[i]);
  }
  if (result.warnings.size() > kWarningsShown) {
    outcome_.warnings.push_back(
        "... and " + std::to_string(result.warnings.size() - kWarningsShown) + " more like these");
  }
  view_.SetStatusText("Exported " + Counted(result.contacts, "contact", "contacts") + " and " +
                      Counted(result.lists, "list", "lists") + " to:\r\n" + target.text);
}

void ExportRun::ReportFailure(const Failure& failure) {
  if (failure.code() == kFileNotFound && proc_ == kRunProc) {
    ReportMissingBook(front_, missing_);
  } else {
    view_.ShowMessage(ErrorReportText(failure, proc_), MessageStyle::kPlain, kAppTitle);
    outcome_.failure_place = FailurePlace{missing_, 0};
  }
}

}  // namespace

std::string ExportOutcome::Report(const std::string& status) const {
  std::string text;
  for (const std::string& line : book_lines) text += line + "\r\n";
  return text + status;
}

ExportTarget ExportProposal::Suggested(ExportFormat format) const {
  const std::string_view ending = ExportFormatOf(format).extension;
  ExportTarget target{format, WithEnding(first_book.text, ending),
                      WithEnding(first_book.path, ending)};
  target.named_by_program = true;
  return target;
}

ExportOutcome RunExport(const std::vector<ExportPath>& books, ConverterWindow& window,
                        const ExportRunOptions& options) {
  const RunFront front(window);
  return ExportRun(books, front, options).Run();
}

ExportOutcome RunExport(const std::vector<ExportPath>& books, RunView& view,
                        const ExportRunOptions& options) {
  const RunFront front(view);
  return ExportRun(books, front, options).Run();
}

std::optional<std::filesystem::path> EudoraFolderOfMainBook(const std::filesystem::path& book) {
  if (!HasMainBookName(book)) return std::nullopt;
  const std::filesystem::path folder = book.parent_path().empty() ? "." : book.parent_path();
  const std::vector<BookFile> books = FindBooks(folder);
  if (books.size() < 2 || !NamesSameFile(books.front().path, book)) return std::nullopt;
  return folder;
}

}  // namespace veltrana
