// veltrana.exe: the window.
#include <commctrl.h>
#include <windows.h>

#include "win32/module1.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  return veltrana::win32::Module1::Main();
}
