#include "cli/console_window.h"

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

ConsoleWindow::ConsoleWindow(std::string address_book, std::FILE* errors, bool show_progress)
    : address_book_(std::move(address_book)), errors_(errors), show_progress_(show_progress) {}

PumpResult ConsoleWindow::PumpEvents() {
  if (show_progress_) {
    // One terminal line, rewritten in place ("\x1b[K" clears what is left).
    std::fprintf(errors_, "\r%s\x1b[K", ConsoleText(status_).c_str());
    std::fflush(errors_);
    progress_on_screen_ = true;
  }
  return PumpResult::kContinue;
}

void ConsoleWindow::FinishProgress() {
  if (!progress_on_screen_) return;
  std::fputs("\r\x1b[K", errors_);
  progress_on_screen_ = false;
}

void ConsoleWindow::ShowMessage(const std::string& text, int, const std::string&) {
  FinishProgress();
  const std::string console = ConsoleText(text) + "\n";
  std::fwrite(console.data(), 1, console.size(), errors_);
  std::fflush(errors_);
}

}  // namespace veltrana
