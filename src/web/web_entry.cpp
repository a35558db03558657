// The browser edition's entry: the page's worker calls these with a book it
// has put into the in-memory file system, and reads back the status line,
// the messages and the file made. What runs is what the command line runs:
// the conversion run for the page, the export command for the contacts.
#include <emscripten/emscripten.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "base/calendar_date.h"
#include "base/file_names.h"
#include "cli/console_window.h"
#include "cli/export_command.h"
#include "contacts/charset.h"
#include "conversion/conversion_run.h"
#include "web/products.h"

namespace {

using namespace veltrana;

// The progress line, handed to the page's worker as the window would show it.
EM_JS(void, ShowProgressInPage, (const char* text), {
  if (Module["onProgress"]) Module["onProgress"](UTF8ToString(text));
});

// A text stream in memory (the console's standard output or error).
class MemoryStream {
 public:
  MemoryStream() : file_(open_memstream(&data_, &size_)) {
    if (file_ == nullptr) std::abort();
  }
  ~MemoryStream() {
    std::fclose(file_);
    std::free(data_);
  }
  MemoryStream(const MemoryStream&) = delete;
  MemoryStream& operator=(const MemoryStream&) = delete;
  std::FILE* file() { return file_; }
  std::string text() {
    std::fflush(file_);
    return std::string(data_, size_);
  }

 private:
  char* data_ = nullptr;
  std::size_t size_ = 0;
  std::FILE* file_;
};

// The console window, but its progress goes to the page whenever the run
// lets the window process events.
class PageWindow : public ConsoleWindow {
 public:
  PageWindow(const std::string& book, std::FILE* errors)
      : ConsoleWindow(book, std::filesystem::path(book), errors, false) {}
  PumpResult PumpEvents() override {
    ShowProgressInPage(ConsoleText(status_text()).c_str());
    return PumpResult::kContinue;
  }
};

// What the last call made: the status line, the messages (the console's
// standard error) and the file written, empty when none was.
struct Outcome {
  std::string status;
  std::string messages;
  std::string output;
  std::string list;  // a text handed out by a listing call
};
Outcome outcome;

int MakePage(const std::string& book, const CalendarDate& date) {
  MemoryStream errors;
  PageWindow window(book, errors.file());
  ConverterState state = LoadedConverterState();
  std::filesystem::path htmlfile;
  RunOptions options;
  options.date = date;
  RunConversion(state, window, htmlfile, options);
  outcome = {ConsoleText(window.status_text()),
             errors.text(),
             window.view_enabled() ? htmlfile.string() : std::string(),
             {}};
  return window.view_enabled() ? 0 : 1;
}

int MakeExport(ExportFormat format, const std::string& book, const char* charset) {
  ExportOptions options;
  options.format = format;
  options.charset = CharsetNamed(charset);  // none: "auto", the book's own
  const ExportFiles files{{ExportPath{book, book}}, {}};
  MemoryStream out;
  MemoryStream errors;
  const int status = RunExportCommand(files, options, out.file(), errors.file());
  std::string status_line = out.text();
  if (!status_line.empty() && status_line.back() == '\n') status_line.pop_back();
  outcome = {status_line,
             errors.text(),
             status == 0 ? WithEnding(book, ExportFormatOf(format).extension) : std::string(),
             {}};
  return status;
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

// Makes `product_id` of the book at `book` (a name in the working folder,
// which is also what the page and the messages call it), the page dated
// year-month-day. Returns the command line's exit status: 0 when the file
// was written, 1 when not, 2 for an unknown product or character set.
EMSCRIPTEN_KEEPALIVE int veltrana_make(const char* product_id, const char* book,
                                       const char* charset, int year, int month, int day) {
  outcome = {};
  const Product* product = ProductNamed(product_id);
  if (product == nullptr || (std::string_view(charset) != "auto" && !CharsetNamed(charset))) {
    return 2;
  }
  if (!product->format) return MakePage(book, CalendarDate{year, month, day});
  return MakeExport(*product->format, book, charset);
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

}  // extern "C"
