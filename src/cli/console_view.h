// A run shown on a console: the address book is the path given on the
// command line, message boxes go to the error stream, and the status line
// is kept for the caller to print. When a person watches a terminal, the
// status is shown each time the run lets the front end process events,
// which is when a window would repaint it: "Working..." and the progress.
// A console has no buttons, focus or keystrokes: it is no window.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

#include "conversion/error_report.h"
#include "conversion/run_view.h"

namespace veltrana {

// A text of the program with its CR LF line ends as the console's newlines.
[[nodiscard]] std::string ConsoleText(const std::string& text);

// The same for a terminal, where a book's or a folder's text must not act on
// the screen (an escape sequence in a file name): every other control
// character, a lone CR or LF included, is shown escaped as ls shows it
// ("\r", "\n", "\t", else "\x1b" and the like), and so are C1 controls
// (U+0080 to U+009F in UTF-8, and such bytes outside UTF-8) except on
// Windows, whose ANSI code pages give those bytes to letters.
[[nodiscard]] std::string TerminalText(const std::string& text);

// Whether `stream` is a terminal (on Windows a console).
[[nodiscard]] bool IsTerminal(std::FILE* stream);

// Prints a text of the program: CR LF as the console's newlines, and on a
// terminal the rest of the controls escaped (TerminalText); on a Windows
// console, the ANSI code page's characters as the console shows them.
void PrintText(std::FILE* to, const std::string& text);

// Whether progress is shown: on a terminal that is known to understand a
// carriage return (`term` is the TERM variable, null when unset).
[[nodiscard]] bool ShowsProgress(bool is_terminal, const char* term);

class ConsoleView : public RunView {
 public:
  // The run is asked for the address book `address_book`, the file
  // `book_path`.
  ConsoleView(std::string address_book, std::filesystem::path book_path, std::FILE* errors,
              bool show_progress);

  const std::string& status_text() const { return status_; }
  // Ends a progress line left on the terminal.
  void FinishProgress();
  // After the error report, where the failure arose: "nndbase.txt, line
  // 1234" (or the book alone) on the error stream.
  void ShowFailurePlace(const FailurePlace& place);

  std::string AddressBookText() const override { return address_book_; }
  std::filesystem::path AddressBookPath() const override { return book_path_; }
  void SetStatusText(const std::string& text) override { status_ = text; }
  void ShowMessage(const std::string& text, MessageStyle style, const std::string& title) override;
  PumpResult PumpEvents() override;

 private:
  std::string address_book_;
  std::filesystem::path book_path_;
  std::FILE* errors_;
  bool show_progress_;
  std::size_t progress_width_ = 0;  // the progress line on screen, 0 when there is none
  std::string status_;
};

}  // namespace veltrana
