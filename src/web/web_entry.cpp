// The browser edition's entry: the page's worker calls these with a book it
// has put into the in-memory file system, and reads back the status line,
// the messages and the file made. What runs is what the command line runs:
// the conversion run for the page, the export run for the contacts, each
// without a window.
#include <emscripten/emscripten.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/calendar_date.h"
#include "base/file_names.h"
#include "conversion/conversion_run.h"
#include "conversion/run_view.h"
#include "export/eudora_folder.h"
#include "export/export_run.h"
#include "text/charset.h"
#include "web/products.h"

namespace {

using namespace veltrana;

// The progress line, handed to the page's worker as the window would show it.
EM_JS(void, ShowProgressInPage, (const char* text), {
  if (Module["onProgress"]) Module["onProgress"](UTF8ToString(text));
});

// A text of the program with its CR LF line ends as the page's newlines, as
// the command line prints it.
std::string PageText(std::string text) {
  for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) {
    text.erase(at, 1);
  }
  return text;
}

// A run as the page's worker shows it: the status line kept for the page,
// each message box a text of the messages, as the command line prints them
// on its error stream, and the progress handed to the page whenever the run
// lets the front end process events.
class WorkerView : public RunView {
 public:
  explicit WorkerView(std::string book) : book_(std::move(book)) {}

  const std::string& status() const { return status_; }
  const std::string& messages() const { return messages_; }
  // After the error report, where the failure arose.
  void AddFailurePlace(const std::optional<FailurePlace>& place) {
    if (place) messages_ += FailurePlaceText(*place) + "\n";
  }
  void AddMessageLine(const std::string& line) { messages_ += line + "\n"; }

  std::string AddressBookText() const override { return book_; }
  std::filesystem::path AddressBookPath() const override { return book_; }
  void SetStatusText(const std::string& text) override { status_ = text; }
  void ShowMessage(const std::string& text, MessageStyle, const std::string&) override {
    messages_ += PageText(text) + "\n";
  }
  PumpResult PumpEvents() override {
    ShowProgressInPage(PageText(status_).c_str());
    return PumpResult::kContinue;
  }

 private:
  std::string book_;
  std::string status_;
  std::string messages_;
};

// What the last call made: the status line, the messages (the command
// line's standard error) and the file written, empty when none was.
struct Outcome {
  std::string status;
  std::string messages;
  std::string output;
  std::string list;     // a text handed out by a listing call
  std::string charset;  // the set the book of a page was read in, its bytes shown in
};
Outcome outcome;

// What a file that gave the page no entry most likely is, said beside the
// run's own report: a run of the wrong file ends as a success otherwise.
// The command line's page run says nothing of it, as it always has; the
// export says it for every front end.
std::string NoContactsWarning() {
  return "Warning: no contacts in it: is it a Eudora address book (nndbase.txt)?";
}

// The set the page's bytes are in: the page copies the book's text as it
// stands, so it is the book's own, the one named or the one the export
// would take for these bytes.
std::string PageCharset(const std::string& book, std::optional<Charset> named) {
  if (named) return CharsetName(*named);
  std::ifstream file(book, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  return CharsetName(DetectCharset(bytes));
}

int MakePage(const std::string& book, const CalendarDate& date, std::optional<Charset> charset) {
  WorkerView view(book);
  ConverterState state = LoadedConverterState();
  std::filesystem::path htmlfile;
  RunOptions options;
  options.date = date;
  const ConversionOutcome result = RunConversion(state, view, htmlfile, options);
  view.AddFailurePlace(result.failure_place);
  const bool made = result.end == ConversionOutcome::End::kConverted;
  if (made && state.ctr == 0) view.AddMessageLine(NoContactsWarning());
  outcome = {PageText(view.status()), view.messages(), made ? htmlfile.string() : std::string(),
             {}, made ? PageCharset(book, charset) : std::string()};
  return made ? 0 : 1;
}

// The export of `books` (books or Eudora folders, as the command line takes
// them) into one file. The books may lie where nothing can be written, so
// the file is made in `out_folder`, under the name the command line gives it.
int MakeExport(ExportFormat format, const std::vector<std::string>& books,
               std::optional<Charset> charset, const CalendarDate& date,
               const std::filesystem::path& out_folder) {
  WorkerView view(books.front());
  std::vector<ExportPath> paths;
  for (const std::string& book : books) paths.push_back({book, book});
  ExportRunOptions run;
  run.charset = charset;
  run.date = date;
  std::string written;
  run.choose_target = [&](const ExportProposal& proposal) -> std::optional<ExportTarget> {
    ExportTarget target = proposal.Suggested(format);
    target.path = out_folder / target.path.filename();
    written = target.path.string();
    return target;
  };
  const ExportOutcome result = RunExport(paths, view, run);
  view.AddFailurePlace(result.failure_place);
  for (const std::string& warning : result.warnings) view.AddMessageLine("Warning: " + warning);
  const bool made = result.end == ExportOutcome::End::kWritten;
  outcome = {
      PageText(result.Report(view.status())), view.messages(), made ? written : std::string(), {}, {}};
  return made ? 0 : 1;
}

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    if (end > 0) lines.emplace_back(text.substr(0, end));
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return lines;
}

}  // namespace

extern "C" {

// The products, one "id TAB label" line each, in the order of their buttons.
EMSCRIPTEN_KEEPALIVE const char* veltrana_products() {
  outcome.list.clear();
  for (const Product& product : Products()) {
    outcome.list.append(product.id).append("\t").append(product.label).append("\n");
  }
  return outcome.list.c_str();
}

// The character sets the export reads, one name a line, the default
// ("auto", each book's own) first.
EMSCRIPTEN_KEEPALIVE const char* veltrana_charsets() {
  outcome.list = "auto\n";
  for (const std::string_view name : CharsetNames()) outcome.list.append(name).append("\n");
  return outcome.list.c_str();
}

// The books `path` stands for, one a line: itself when it is no folder,
// else the books of the Eudora folder, in the order the export takes them.
EMSCRIPTEN_KEEPALIVE const char* veltrana_books(const char* path) {
  outcome.list.clear();
  const std::vector<BookFile> books = FindBooks(path);
  // A folder without a book stands for itself, which no run can read: the
  // page says that nothing was found rather than offer what must fail.
  std::error_code error;
  if (books.size() == 1 && std::filesystem::is_directory(books.front().path, error)) {
    return outcome.list.c_str();
  }
  for (const BookFile& book : books) outcome.list.append(book.path.string()).append("\n");
  return outcome.list.c_str();
}

// Makes `product_id` of `books` (names in the working folder, one a line,
// which are also what the status and the messages call them): the page of
// the one book, dated year-month-day, or one export of them all, written
// into `out_folder`. Returns the command line's exit status: 0 when the
// file was written, 1 when not, 2 for an unknown product or character set.
EMSCRIPTEN_KEEPALIVE int veltrana_make(const char* product_id, const char* books,
                                       const char* charset, const char* out_folder, int year,
                                       int month, int day) {
  outcome = {};
  const Product* product = ProductNamed(product_id);
  const std::vector<std::string> names = Lines(books);
  if (product == nullptr || names.empty() ||
      (std::string_view(charset) != "auto" && !CharsetNamed(charset))) {
    return 2;
  }
  const CalendarDate date{year, month, day};
  if (!product->format) return MakePage(names.front(), date, CharsetNamed(charset));
  return MakeExport(*product->format, names, CharsetNamed(charset), date, out_folder);
}

EMSCRIPTEN_KEEPALIVE const char* veltrana_status() {
  return outcome.status.c_str();
}
EMSCRIPTEN_KEEPALIVE const char* veltrana_messages() {
  return outcome.messages.c_str();
}
EMSCRIPTEN_KEEPALIVE const char* veltrana_output() {
  return outcome.output.c_str();
}
// The character set of the page last made, for its preview; empty for an
// export.
EMSCRIPTEN_KEEPALIVE const char* veltrana_charset() {
  return outcome.charset.c_str();
}

}  // extern "C"
