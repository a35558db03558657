// The conversion run's window on a console: the field holds the path given
// on the command line, message boxes go to the error stream, and the status
// line is kept for the caller to print. When a person watches a terminal,
// the status is shown each time the run lets the window process events,
// which is when the window would repaint it: "Working..." and the progress.
#pragma once

#include <cstdio>
#include <string>

#include "conversion/converter_window.h"

namespace veltrana {

// A text of the program with its CR LF line ends as the console's newlines.
std::string ConsoleText(const std::string& text);

class ConsoleWindow : public ConverterWindow {
 public:
  ConsoleWindow(std::string address_book, std::FILE* errors, bool show_progress);

  const std::string& status_text() const { return status_; }
  // View is enabled only by a run that reached its end: the book was
  // converted.
  bool view_enabled() const { return view_enabled_; }
  // Ends a progress line left on the terminal.
  void FinishProgress();

  std::string AddressBookText() const override { return address_book_; }
  void SetStatusText(const std::string& text) override { status_ = text; }
  void SetButtonEnabled(Button button, bool enabled) override {
    if (button == Button::kView) view_enabled_ = enabled;
  }
  void FocusButton(Button) override {}
  void FocusAddressBook() override {}
  void ShowMessage(const std::string& text, int style, const std::string& title) override;
  PumpResult PumpEvents() override;
  void SendKeys(std::string_view) override {}

 private:
  std::string address_book_;
  std::FILE* errors_;
  bool show_progress_;
  bool progress_on_screen_ = false;
  bool view_enabled_ = false;
  std::string status_;
};

}  // namespace veltrana
