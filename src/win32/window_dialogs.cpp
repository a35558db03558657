#include "win32/window_dialogs.h"

#include <commdlg.h>

#include <vector>

namespace veltrana::win32 {

namespace {

// The filter list: description and pattern pairs, each ended by a NUL, the
// list ended by one more.
constexpr wchar_t kFilter[] = L"Address Books (*.txt)\0*.txt\0All Files (*.*)\0*.*\0";

class SystemDialogs : public WindowDialogs {
 public:
  void ShowMessage(HWND owner, const std::wstring& text, MessageStyle style,
                   const std::wstring& title) override {
    MessageBoxW(owner, text.c_str(), title.c_str(), static_cast<UINT>(style) | MB_OK);
  }

  std::optional<std::wstring> ChooseAddressBook(HWND owner) override {
    std::vector<wchar_t> file(32768, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = kFilter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrTitle = L"Open Address Book";
    dialog.lpstrDefExt = L"txt";
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameW(&dialog)) return std::nullopt;
    return std::wstring(file.data());
  }
};

}  // namespace

std::unique_ptr<WindowDialogs> MakeSystemDialogs() {
  return std::make_unique<SystemDialogs>();
}

}  // namespace veltrana::win32
