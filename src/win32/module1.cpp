#include "win32/module1.h"

#include <windows.h>

#include "win32/frm_main.h"

namespace veltrana::win32::Module1 {

int Main() {
  frmMain window{frmMain::ProgramOptions()};
  window.Show();
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    // The dialog manager gives the window Tab between its controls and
    // Alt with a caption's underlined letter.
    if (window.is_open() && IsDialogMessageW(window.hwnd(), &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

void LaunchViewer(WindowDialogs& dialogs, const std::filesystem::path& htmlfile) {
  dialogs.OpenDocument(htmlfile);
}

}  // namespace veltrana::win32::Module1
