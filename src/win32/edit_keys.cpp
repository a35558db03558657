#include "win32/edit_keys.h"

#include <string>

#include "base/case_fold.h"

namespace veltrana::win32 {

void SendKeysToEdit(HWND edit, std::string_view keys) {
  DWORD anchor = 0;
  DWORD caret = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&anchor),
               reinterpret_cast<LPARAM>(&caret));
  const auto length = static_cast<DWORD>(GetWindowTextLengthW(edit));
  bool shift = false;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    if (keys[i] == '+') {
      shift = true;
      continue;
    }
    std::string name(1, keys[i]);
    if (keys[i] == '{') {
      const std::size_t close = keys.find('}', i + 1);
      if (close == std::string_view::npos) break;
      name = FoldedCopy(keys.substr(i + 1, close - i - 1));
      i = close;
    }
    if (name == "home" || name == "end") {
      caret = name == "home" ? 0 : length;
      if (!shift) anchor = caret;
      SendMessageW(edit, EM_SETSEL, anchor, caret);
    }
    shift = false;
  }
}

}  // namespace veltrana::win32
