// What a window has beyond what every front end shows of a run: buttons
// that are enabled and disabled and take the focus, the address-book field
// that takes it, and keystrokes sent to the focused control. The run
// reaches a window's controls through this and nothing else; the Qt window
// and the Win32 window implement it, the command line and the browser
// edition, which have none of these, do not.
#pragma once

#include <string_view>

#include "conversion/run_view.h"

namespace veltrana {

enum class Button { kConvert, kBrowse, kView, kExport };

class ConverterWindow : public RunView {
 public:
  virtual void SetButtonEnabled(Button button, bool enabled) = 0;
  virtual void FocusButton(Button button) = 0;
  virtual void FocusAddressBook() = 0;
  // Sends a keystroke string such as "{home}+{end}" to the focused control,
  // without waiting for it to be processed.
  virtual void SendKeys(std::string_view keys) = 0;
};

}  // namespace veltrana
