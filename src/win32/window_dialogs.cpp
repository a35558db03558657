#include "win32/window_dialogs.h"

#include <commdlg.h>
#include <dlgs.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <vector>

#include "base/system_text.h"

namespace veltrana::win32 {

namespace {

// The filter list: description and pattern pairs, each ended by a NUL, the
// list ended by one more.
constexpr wchar_t kFilter[] = L"Address Books (*.txt)\0*.txt\0All Files (*.*)\0*.*\0";

std::wstring Wide(std::string_view ascii) {
  return std::wstring(ascii.begin(), ascii.end());
}

// The export's file types as a filter list.
std::wstring ExportFilter() {
  std::wstring filter;
  for (const ExportFileType& type : ExportFileTypes()) {
    filter += Wide(type.caption) + L'\0' + Wide(type.pattern) + L'\0';
  }
  return filter + L'\0';
}

constexpr int kWholeFolderId = 1101;

// The part the Save dialog adds below its own controls: the check box, as
// a dialog template in memory (no resource, so every program that shows the
// dialog has it). The system and Wine both take it from
// OFN_ENABLETEMPLATEHANDLE; GMEM_FIXED makes the handle the pointer.
class WholeFolderTemplate {
 public:
  WholeFolderTemplate() {
    std::vector<WORD> words;
    const auto add_dword = [&words](DWORD value) {
      words.push_back(LOWORD(value));
      words.push_back(HIWORD(value));
    };
    const auto add_text = [&words](std::wstring_view text) {
      words.insert(words.end(), text.begin(), text.end());
      words.push_back(0);
    };
    // DLGTEMPLATE: style, extended style, one item, x, y, cx, cy; no menu,
    // the default class, no title; then the font.
    add_dword(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | DS_3DLOOK | DS_CONTROL | DS_SETFONT);
    add_dword(0);
    words.insert(words.end(), {1, 0, 0, 260, 18, 0, 0, 0, 8});
    add_text(L"MS Shell Dlg");
    if (words.size() % 2 != 0) words.push_back(0);  // items start on a DWORD
    // DLGITEMTEMPLATE: the check box.
    add_dword(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX);
    add_dword(0);
    words.insert(words.end(), {7, 2, 240, 12, static_cast<WORD>(kWholeFolderId), 0xFFFF, 0x0080});
    add_text(Wide(kWholeFolderCaption));
    words.push_back(0);  // no creation data
    memory_ = GlobalAlloc(GMEM_FIXED, words.size() * sizeof(WORD));
    if (memory_ != nullptr) std::memcpy(memory_, words.data(), words.size() * sizeof(WORD));
  }
  ~WholeFolderTemplate() {
    if (memory_ != nullptr) GlobalFree(memory_);
  }
  WholeFolderTemplate(const WholeFolderTemplate&) = delete;
  WholeFolderTemplate& operator=(const WholeFolderTemplate&) = delete;

  HINSTANCE handle() const { return static_cast<HINSTANCE>(memory_); }

 private:
  HGLOBAL memory_ = nullptr;
};

struct ExportDialogState {
  bool whole_folder = false;
};

// The dialog's file name box: a combo box on systems that remember names,
// an edit on others.
int FileNameControl(HWND dialog) {
  return GetDlgItem(dialog, cmb13) != nullptr ? cmb13 : edt1;
}

// Turns the check box on when the dialog opens, puts the chosen type's
// ending in place of the name's when the type changes, and reads the check
// box when the user accepts.
UINT_PTR CALLBACK ExportDialogHook(HWND child, UINT message, WPARAM, LPARAM l) {
  if (message == WM_INITDIALOG) {
    const auto* dialog = reinterpret_cast<const OPENFILENAMEW*>(l);
    SetWindowLongPtrW(child, GWLP_USERDATA, dialog->lCustData);
    if (GetDlgItem(child, kWholeFolderId) != nullptr) {
      CheckDlgButton(child, kWholeFolderId, BST_CHECKED);
    }
    return FALSE;  // the focus stays where the dialog puts it: the file name
  }
  if (message != WM_NOTIFY) return 0;
  const auto* notify = reinterpret_cast<const OFNOTIFYW*>(l);
  auto* state = reinterpret_cast<ExportDialogState*>(GetWindowLongPtrW(child, GWLP_USERDATA));
  const HWND dialog = GetParent(child);
  if (notify->hdr.code == CDN_TYPECHANGE && notify->lpOFN->nFilterIndex >= 1 &&
      notify->lpOFN->nFilterIndex <= ExportFileTypes().size()) {
    const ExportFileType& type = ExportFileTypes()[notify->lpOFN->nFilterIndex - 1];
    const std::wstring extension = Wide(type.extension);
    SendMessageW(dialog, CDM_SETDEFEXT, 0, reinterpret_cast<LPARAM>(extension.c_str()));
    const int control = FileNameControl(dialog);
    std::wstring name(
        static_cast<std::size_t>(GetWindowTextLengthW(GetDlgItem(dialog, control))) + 1, L'\0');
    name.resize(static_cast<std::size_t>(
        GetDlgItemTextW(dialog, control, name.data(), static_cast<int>(name.size()))));
    std::string ascii(name.size(), '?');
    for (std::size_t i = 0; i < name.size(); ++i) {
      if (name[i] < 0x80) ascii[i] = static_cast<char>(name[i]);
    }
    if (const std::size_t ending = ExportEndingLength(ascii); ending != 0) {
      name = name.substr(0, name.size() - ending) + L'.' + extension;
      SendMessageW(dialog, CDM_SETCONTROLTEXT, static_cast<WPARAM>(control),
                   reinterpret_cast<LPARAM>(name.c_str()));
    }
  } else if (notify->hdr.code == CDN_FILEOK && state != nullptr) {
    state->whole_folder = IsDlgButtonChecked(child, kWholeFolderId) == BST_CHECKED;
  }
  return 0;
}

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

  std::optional<ExportDialogAnswer> ChooseExportFile(HWND owner,
                                                     const ExportDialogRequest& request) override {
    const std::wstring filter = ExportFilter();
    const std::wstring name = request.suggested.filename().wstring();
    const std::wstring folder = request.suggested.parent_path().wstring();
    const std::wstring extension = Wide(ExportFileTypes().front().extension);
    const std::wstring title = Wide(kExportDialogTitle);
    std::vector<wchar_t> file(32768, L'\0');
    name.copy(file.data(), std::min(name.size(), file.size() - 1));
    WholeFolderTemplate check_box;
    ExportDialogState state;
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.lpstrTitle = title.c_str();
    dialog.lpstrDefExt = extension.c_str();
    dialog.lCustData = reinterpret_cast<LPARAM>(&state);
    dialog.lpfnHook = &ExportDialogHook;
    dialog.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                   OFN_NOCHANGEDIR | OFN_ENABLEHOOK | OFN_ENABLESIZING;
    if (request.offers_whole_folder && check_box.handle() != nullptr) {
      dialog.hInstance = check_box.handle();
      dialog.Flags |= OFN_ENABLETEMPLATEHANDLE;
    }
    if (!GetSaveFileNameW(&dialog)) return std::nullopt;
    ExportDialogAnswer answer;
    answer.path = std::filesystem::path(std::wstring(file.data()));
    answer.text = TextOfPath(answer.path);
    answer.type = dialog.nFilterIndex >= 1 ? dialog.nFilterIndex - 1 : 0;
    answer.whole_folder = request.offers_whole_folder && state.whole_folder;
    return answer;
  }

  void OpenDocument(const std::filesystem::path& document) override {
    ShellExecuteW(nullptr, L"open", document.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  }
};

}  // namespace

std::unique_ptr<WindowDialogs> MakeSystemDialogs() {
  return std::make_unique<SystemDialogs>();
}

}  // namespace veltrana::win32
