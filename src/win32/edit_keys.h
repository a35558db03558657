// Keystroke strings as the window sends them to its focused control, for an
// edit control: "{home}+{end}" is Home, then Shift+End, which selects the
// whole text. Home and End move the caret to the start or the end; with
// "+" (Shift) the selection's far end stays where it was.
#pragma once

#include <windows.h>

#include <string_view>

namespace veltrana::win32 {

// Applies `keys` to the edit control `edit`; other keys are skipped.
void SendKeysToEdit(HWND edit, std::string_view keys);

}  // namespace veltrana::win32
