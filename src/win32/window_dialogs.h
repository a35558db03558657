// The window's modal dialogs, behind a small seam so that tests can answer
// them: the system's message box and its file-open dialog are the default.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "conversion/converter_window.h"

namespace veltrana::win32 {

class WindowDialogs {
 public:
  virtual ~WindowDialogs() = default;
  // A modal message box over `owner`: style 16 has the error icon, style 0
  // none; one OK button either way.
  virtual void ShowMessage(HWND owner, const std::wstring& text, MessageStyle style,
                           const std::wstring& title) = 0;
  // The Browse dialog: the chosen file's full path, or nothing when the
  // user cancelled.
  virtual std::optional<std::wstring> ChooseAddressBook(HWND owner) = 0;
};

// MessageBoxW, and GetOpenFileNameW titled "Open Address Book" with the
// filters "Address Books (*.txt)" (preselected) and "All Files (*.*)", and
// "txt" added to a name typed without an extension.
std::unique_ptr<WindowDialogs> MakeSystemDialogs();

}  // namespace veltrana::win32
