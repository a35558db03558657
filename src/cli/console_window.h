// The conversion run's window on a console: the field holds the path given
// on the command line, message boxes go to the error stream, and the status
// line is kept for the caller to print. When a person watches a terminal,
// the status is shown each time the run lets the window process events,
// which is when the window would repaint it: "Working..." and the progress.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

#include "conversion/converter_window.h"

namespace veltrana {

// A text of the program with its CR LF line ends as the console's newlines.
std::string ConsoleText(const std::string& text);

// Prints a text of the program: CR LF as the console's newlines; on a
// Windows console, the ANSI code page's characters as the console shows them.
void PrintText(std::FILE* to, const std::string& text);

// Whether progress is shown: on a terminal that is known to understand a
// carriage return (`term` is the TERM variable, null when unset).
bool ShowsProgress(bool is_terminal, const char* term);

class ConsoleWindow : public ConverterWindow {
 public:
  // The field names the address book `address_book`, the file `book_path`.
  ConsoleWindow(std::string address_book, std::filesystem::path book_path, std::FILE* errors,
                bool show_progress);

  const std::string& status_text() const { return status_; }
  // View is enabled only by a run that reached its end: the book was
  // converted.
  bool view_enabled() const { return view_enabled_; }
  // Ends a progress line left on the terminal.
  void FinishProgress();

  std::string AddressBookText() const override { return address_book_; }
  std::filesystem::path AddressBookPath() const override { return book_path_; }
  void SetStatusText(const std::string& text) override { status_ = text; }
  void SetButtonEnabled(Button button, bool enabled) override {
    if (button == Button::kView) view_enabled_ = enabled;
  }
  void FocusButton(Button) override {}
  void FocusAddressBook() override {}
  void ShowMessage(const std::string& text, MessageStyle style, const std::string& title) override;
  PumpResult PumpEvents() override;
  void SendKeys(std::string_view) override {}

 private:
  std::string address_book_;
  std::filesystem::path book_path_;
  std::FILE* errors_;
  bool show_progress_;
  std::size_t progress_width_ = 0;  // the progress line on screen, 0 when there is none
  bool view_enabled_ = false;
  std::string status_;
};

}  // namespace veltrana
