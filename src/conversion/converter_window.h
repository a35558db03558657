// What the conversion run needs from the main window, and nothing more. The
// window implements it with its real controls; tests use a recording fake;
// the command-line converter prints what a person would see.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace veltrana {

enum class Button { kConvert, kBrowse, kView };

// Message box styles, with the numbers the system's message box knows them
// by: the run's own messages show the critical-stop icon, the error report
// none; both have one OK button.
enum class MessageStyle : int {
  kPlain = 0,
  kCritical = 16,
};

// What the window answers after it has processed its pending events.
enum class PumpResult {
  kContinue,       // go on with the run
  kWindowClosing,  // the user closed the window: end the run at once
};

class ConverterWindow {
 public:
  virtual ~ConverterWindow() = default;

  // The text of the address-book field, exactly as typed, as the program
  // keeps text: 8-bit, in the system's code page. It is what the page and
  // the settings file show of the address book.
  virtual std::string AddressBookText() const = 0;
  // The file the field names, as the system names it (a name the 8-bit
  // text cannot spell still opens).
  virtual std::filesystem::path AddressBookPath() const = 0;
  // The status line under the field.
  virtual void SetStatusText(const std::string& text) = 0;

  virtual void SetButtonEnabled(Button button, bool enabled) = 0;
  virtual void FocusButton(Button button) = 0;
  virtual void FocusAddressBook() = 0;

  // A modal message box; returns when the user has closed it.
  virtual void ShowMessage(const std::string& text, MessageStyle style,
                           const std::string& title) = 0;
  // Lets the window process its pending events, then returns.
  virtual PumpResult PumpEvents() = 0;
  // Sends a keystroke string such as "{home}+{end}" to the focused control,
  // without waiting for it to be processed.
  virtual void SendKeys(std::string_view keys) = 0;
};

}  // namespace veltrana
