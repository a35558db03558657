#include "win32/edit_keys.h"

#include "form/key_string.h"

namespace veltrana::win32 {

void SendKeysToEdit(HWND edit, std::string_view keys) {
  DWORD anchor = 0;
  DWORD caret = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&anchor),
               reinterpret_cast<LPARAM>(&caret));
  const auto length = static_cast<DWORD>(GetWindowTextLengthW(edit));
  for (const KeyPress& press : ParseKeyString(keys)) {
    if (press.key != KeyName::kHome && press.key != KeyName::kEnd) continue;
    caret = press.key == KeyName::kHome ? 0 : length;
    if (!press.shift) anchor = caret;
    SendMessageW(edit, EM_SETSEL, anchor, caret);
  }
}

}  // namespace veltrana::win32
