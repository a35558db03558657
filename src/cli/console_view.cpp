#include "cli/console_view.h"

#include <string_view>

#include "base/system_text.h"

#if defined(_WIN32)
#include <io.h>
#include <windows.h>
#endif

namespace veltrana {

std::string ConsoleText(const std::string& text) {
  std::string console;
  console.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    console += text[i];
  }
  return console;
}

ConsoleView::ConsoleView(std::string address_book, std::filesystem::path book_path,
                         std::FILE* errors, bool show_progress)
    : address_book_(std::move(address_book)),
      book_path_(std::move(book_path)),
      errors_(errors),
      show_progress_(show_progress) {}

void PrintText(std::FILE* to, const std::string& text) {
  const std::string console = ConsoleText(text);
#if defined(_WIN32)
  const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(to)));
  DWORD mode = 0;
  if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
    std::fflush(to);
    const std::wstring wide = WideOfText(console);
    DWORD written = 0;
    WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    return;
  }
#endif
  std::fwrite(console.data(), 1, console.size(), to);
}

bool ShowsProgress(bool is_terminal, const char* term) {
  if (!is_terminal) return false;
#if defined(_WIN32)
  static_cast<void>(term);
  return true;  // a console window
#else
  return term != nullptr && *term != '\0' && std::string_view(term) != "dumb";
#endif
}

// One terminal line, rewritten in place with a carriage return alone, which
// every terminal understands; blanks cover what is left of a longer line.
PumpResult ConsoleView::PumpEvents() {
  if (show_progress_) {
    std::string line = "\r" + ConsoleText(status_);
    if (line.size() < progress_width_) line.append(progress_width_ - line.size(), ' ');
    progress_width_ = line.size();
    PrintText(errors_, line);
    std::fflush(errors_);
  }
  return PumpResult::kContinue;
}

void ConsoleView::FinishProgress() {
  if (progress_width_ == 0) return;
  const std::string blank = "\r" + std::string(progress_width_ - 1, ' ') + "\r";
  PrintText(errors_, blank);
  progress_width_ = 0;
}

void ConsoleView::ShowMessage(const std::string& text, MessageStyle, const std::string&) {
  FinishProgress();
  PrintText(errors_, text + "\r\n");
  std::fflush(errors_);
}

void ConsoleView::ShowFailurePlace(const FailurePlace& place) {
  FinishProgress();
  PrintText(errors_, FailurePlaceText(place) + "\r\n");
  std::fflush(errors_);
}

}  // namespace veltrana
