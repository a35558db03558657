// The window's modal dialogs and the system's viewer, behind a small seam so
// that tests can answer them: the system's message box, its file dialogs and
// its handler for documents are the default.
#pragma once

#include <windows.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "conversion/converter_window.h"
#include "form/export_dialog.h"

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
  [[nodiscard]] virtual std::optional<std::wstring> ChooseAddressBook(HWND owner) = 0;
  // The Save dialog of an export; nothing when the user cancelled.
  [[nodiscard]] virtual std::optional<ExportDialogAnswer> ChooseExportFile(
      HWND owner, const ExportDialogRequest& request) = 0;
  // Opens `document` with the system's handler for it; the result is not
  // examined and nothing is shown when nothing can open it.
  virtual void OpenDocument(const std::filesystem::path& document) = 0;
};

// MessageBoxW, and GetOpenFileNameW titled "Open Address Book" with the
// filters "Address Books (*.txt)" (preselected) and "All Files (*.*)", and
// "txt" added to a name typed without an extension; GetSaveFileNameW titled
// "Export Address Book" with a file type per format (see
// ChooseExportFile in window_dialogs.cpp); ShellExecuteW's "open".
[[nodiscard]] std::unique_ptr<WindowDialogs> MakeSystemDialogs();

}  // namespace veltrana::win32
