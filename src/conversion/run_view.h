// What every front end of a run has, window or not: the address book the
// run is asked for, the status line, message boxes, and a moment to process
// its pending events. The windows show these in their controls, the command
// line prints them, the browser edition hands them to its page. Buttons,
// focus and keystrokes are a window's alone (ConverterWindow).
#pragma once

#include <filesystem>
#include <string>

namespace veltrana {

// Message box styles, with the numbers the system's message box knows them
// by: the run's own messages show the critical-stop icon, warnings the
// exclamation mark, the error report none; all have one OK button.
enum class MessageStyle : int {
  kPlain = 0,
  kCritical = 16,
  kWarning = 48,
};

// What the front end answers after it has processed its pending events.
// Ignoring it would run on after the user closed the window.
// clang-format off
enum class [[nodiscard]] PumpResult {
  kContinue,       // go on with the run
  kWindowClosing,  // the user closed the window: end the run at once
};
// clang-format on

class RunView {
 public:
  virtual ~RunView() = default;

  // The address book the run is asked for, exactly as given (the field's
  // text, not trimmed), as the program keeps text: 8-bit, in the system's
  // code page. It is what the page and the settings file show of it.
  virtual std::string AddressBookText() const = 0;
  // The file it names, as the system names it (a name the 8-bit text cannot
  // spell still opens).
  virtual std::filesystem::path AddressBookPath() const = 0;
  // The status line.
  virtual void SetStatusText(const std::string& text) = 0;
  // A modal message box; returns when the user has closed it.
  virtual void ShowMessage(const std::string& text, MessageStyle style,
                           const std::string& title) = 0;
  // Lets the front end process its pending events, then returns.
  virtual PumpResult PumpEvents() = 0;
};

}  // namespace veltrana
