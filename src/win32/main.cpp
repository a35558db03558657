// veltrana.exe: the window.
// clang-format off: the system headers need <windows.h> first.
#include <commctrl.h>
#include <windows.h>
// clang-format on

#include "win32/module1.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  return veltrana::win32::Module1::Main();
}
