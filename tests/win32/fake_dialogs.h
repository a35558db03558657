// Dialogs answered by the test: Browse returns what the test chose, and a
// message box is recorded and then put up as the system's is: an owned
// window that takes the activation while the owner is disabled and its
// messages run in a loop of the box's own; when it closes the owner is
// enabled and activated again.
#pragma once

#include <windows.h>

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/system_text.h"
#include "win32/window_dialogs.h"

namespace veltrana::test {

struct Win32DialogLog {
  std::vector<std::string> messages;  // "style title: text"
  int modal_loops = 0;                // boxes that were the active window over a disabled owner
  int browse_shown = 0;
  std::optional<std::wstring> browse_answer;  // nothing: the user cancels
  bool browse_fails = false;                  // the dialog throws, once
  std::vector<ExportDialogRequest> export_requests;
  std::optional<ExportDialogAnswer> export_answer;  // nothing: the user cancels
  std::vector<std::filesystem::path> viewed;        // what the system's viewer was asked to open
};

class Win32FakeDialogs : public win32::WindowDialogs {
 public:
  explicit Win32FakeDialogs(Win32DialogLog& log) : log_(log) {}

  void ShowMessage(HWND owner, const std::wstring& text, MessageStyle style,
                   const std::wstring& title) override {
    std::string shown = TextOfWide(text);
    for (std::size_t at = shown.find("\r\n"); at != std::string::npos;
         at = shown.find("\r\n", at)) {
      shown.erase(at, 1);
    }
    log_.messages.push_back(std::to_string(static_cast<int>(style)) + " " + TextOfWide(title) +
                            ": " + shown);
    EnableWindow(owner, FALSE);
    const HWND box = CreateWindowExW(WS_EX_DLGMODALFRAME, L"STATIC", text.c_str(),
                                     WS_POPUP | WS_CAPTION | WS_VISIBLE, 100, 100, 300, 120, owner,
                                     nullptr, GetModuleHandleW(nullptr), nullptr);
    SetActiveWindow(box);
    for (int turn = 0; turn < 5; ++turn) {  // the box's own message loop
      MSG message{};
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
      Sleep(2);
    }
    if (GetActiveWindow() == box && !IsWindowEnabled(owner)) ++log_.modal_loops;
    EnableWindow(owner, TRUE);
    DestroyWindow(box);
    SetActiveWindow(owner);
  }

  std::optional<std::wstring> ChooseAddressBook(HWND) override {
    ++log_.browse_shown;
    if (log_.browse_fails) {
      log_.browse_fails = false;
      throw std::runtime_error("the dialog could not be shown");
    }
    return log_.browse_answer;
  }

  std::optional<ExportDialogAnswer> ChooseExportFile(HWND,
                                                     const ExportDialogRequest& request) override {
    log_.export_requests.push_back(request);
    return log_.export_answer;
  }
  void OpenDocument(const std::filesystem::path& document) override {
    log_.viewed.push_back(document);
  }

 private:
  Win32DialogLog& log_;
};

}  // namespace veltrana::test
