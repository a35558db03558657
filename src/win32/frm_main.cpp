#include "win32/frm_main.h"

#include <commctrl.h>

#include <iterator>
#include <string>
#include <utility>

#include "base/system_text.h"
#include "form/form_layout.h"
#include "win32/edit_keys.h"
#include "win32/module1.h"

namespace veltrana::win32 {

namespace {

constexpr wchar_t kClassName[] = L"VeltranaMain";
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr int kTwipsPerInch = 1440;
constexpr int kFieldListItems = 15;  // the history's drop-down shows all of it

// The window's own control that holds `child` (the field's edit is inside
// the combo box).
HWND GetAncestorControl(HWND child) {
  HWND control = child;
  while (GetParent(control) != nullptr && GetParent(GetParent(control)) != nullptr) {
    control = GetParent(control);
  }
  return control;
}

bool IsComboBox(HWND control) {
  wchar_t type[16] = {};
  GetClassNameW(control, type, 16);
  return lstrcmpiW(type, L"ComboBox") == 0;
}

}  // namespace

// One control as Windows makes it: its class and style. Its name, caption
// and place are the form's.
struct frmMain::ControlLayout {
  const char* name;
  const wchar_t* type;
  DWORD style;
  HWND frmMain::*member;
};

// The controls, in the order of their tab index (labels take no focus).
const frmMain::ControlLayout frmMain::kControls[] = {
    {"Label1", L"STATIC", SS_RIGHT | SS_NOPREFIX, &frmMain::Label1},
    {"cmdConvert", L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, &frmMain::cmdConvert},
    {"lblStatusText", L"STATIC", SS_LEFT | SS_NOPREFIX, &frmMain::lblStatusText},
    {"cmdOpen", L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, &frmMain::cmdOpen},
    {"lblStatus", L"STATIC", SS_RIGHT | SS_NOPREFIX, &frmMain::lblStatus},
    {"cmdView", L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, &frmMain::cmdView},
    {"cbxAddressBook", L"COMBOBOX", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP,
     &frmMain::cbxAddressBook},
    {"cmdExport", L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, &frmMain::cmdExport},
};
static_assert(std::size(kFormControls) == 8, "one control of Windows per control of the form");

frmMain::Options frmMain::ProgramOptions() {
  Options options;
  options.settings = WindowSettingsLocation();
  return options;
}

frmMain::frmMain(Options options)
    : MainForm(std::move(options.settings), options.date),
      dialogs_(options.dialogs ? std::move(options.dialogs) : MakeSystemDialogs()),
      quit_when_closed_(options.quit_when_closed) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  if (!GetClassInfoExW(instance, kClassName, &window_class)) {
    window_class.lpfnWndProc = &frmMain::WindowProcedure;
    window_class.hInstance = instance;
    window_class.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    window_class.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window_class.lpszClassName = kClassName;
    RegisterClassExW(&window_class);
  }
  const HDC screen = GetDC(nullptr);
  dpi_ = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  RECT frame{0, 0, Pixels(kFormClientWidth), Pixels(kFormClientHeight)};
  AdjustWindowRectEx(&frame, kWindowStyle, FALSE, WS_EX_CONTROLPARENT);
  CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, L"Veltrana", kWindowStyle, CW_USEDEFAULT,
                  CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, nullptr,
                  nullptr, instance, this);
  CreateControls();
  Form_Load();
  FocusButton(Button::kConvert);
}

frmMain::~frmMain() {
  quit_when_closed_ = false;
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
  if (font_ != nullptr) DeleteObject(font_);
}

void frmMain::Show() {
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  UpdateWindow(hwnd_);
  SetFocus(focused_);
}

int frmMain::Pixels(int twips) const {
  return MulDiv(twips, dpi_, kTwipsPerInch);
}

HWND frmMain::Control(std::string_view name) const {
  for (const ControlLayout& layout : kControls) {
    if (name == layout.name) return this->*layout.member;
  }
  return nullptr;
}

LRESULT CALLBACK frmMain::WindowProcedure(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_NCCREATE) {
    auto* window = static_cast<frmMain*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
    window->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
  }
  auto* window = reinterpret_cast<frmMain*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (window == nullptr) return DefWindowProcW(hwnd, message, w, l);
  return window->Handle(message, w, l);
}

LRESULT frmMain::Handle(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(w) == BN_CLICKED) OnCommand(reinterpret_cast<HWND>(l));
      return 0;
    case WM_CLOSE: OnClose(); return 0;
    case kKeysArrive: OnKeysArrive(); return 0;
    case WM_ACTIVATE:
      // As a dialog does: the control that had the focus has it again when
      // the window comes back (after a message box, after another window).
      if (LOWORD(w) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus != nullptr && IsChild(hwnd_, focus)) focused_ = GetAncestorControl(focus);
      } else if (focused_ != nullptr) {
        SetFocus(focused_);
        return 0;
      }
      return DefWindowProcW(hwnd_, message, w, l);
    case WM_DESTROY:
      SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      if (quit_when_closed_) PostQuitMessage(0);
      return 0;
    default: return DefWindowProcW(hwnd_, message, w, l);
  }
}

// The window's font is the one its twip layout was made for: the form's
// size of the dialog font. A caption that names a control grows to the left
// when it is wider in that font than its place.
void frmMain::CreateControls() {
  font_ = CreateFontW(-MulDiv(kFormFontPoints, dpi_, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                      DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                      DEFAULT_PITCH | FF_DONTCARE, L"MS Shell Dlg 2");
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  int id = 100;
  for (const ControlLayout& layout : kControls) {
    const FormControlLayout& form = FormControl(layout.name);
    const std::wstring caption(form.caption.begin(), form.caption.end());  // ASCII
    const bool field = layout.member == &frmMain::cbxAddressBook;
    const int height = field ? form.place.height * (kFieldListItems + 1) : form.place.height;
    HWND control = CreateWindowExW(
        0, layout.type, caption.c_str(), WS_CHILD | WS_VISIBLE | layout.style,
        Pixels(form.place.left), Pixels(form.place.top), Pixels(form.place.width), Pixels(height),
        hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id++)), instance, nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    this->*layout.member = control;
    if (form.names_a_control) GrowCaption(control);
  }
}

void frmMain::GrowCaption(HWND caption) {
  RECT place{};
  GetWindowRect(caption, &place);
  MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&place), 2);
  wchar_t text[64] = {};
  const int length = GetWindowTextW(caption, text, 64);
  const HDC dc = GetDC(caption);
  const HGDIOBJ old = SelectObject(dc, font_);
  SIZE size{};
  GetTextExtentPoint32W(dc, text, length, &size);
  SelectObject(dc, old);
  ReleaseDC(caption, dc);
  const CaptionSpan span = GrownCaption(place.left, place.right - place.left, size.cx);
  MoveWindow(caption, span.left, place.top, span.width, place.bottom - place.top, FALSE);
}

void frmMain::cmdView_Click() {
  Module1::LaunchViewer(*dialogs_, htmlfile());
}

void frmMain::OnCommand(HWND control) {
  if (control == cmdConvert) cmdConvert_Click();
  if (control == cmdOpen) cmdOpen_Click();
  if (control == cmdView) cmdView_Click();
  if (control == cmdExport) cmdExport_Click();
}

// Closing during a run is put off to the run's next event pump, which ends
// the run without a page; the window closes then.
void frmMain::OnClose() {
  if (MayClose()) CloseNow();
}

std::optional<ExportDialogAnswer> frmMain::ChooseExportFile(const ExportDialogRequest& request) {
  return dialogs_->ChooseExportFile(hwnd_, request);
}

bool frmMain::ButtonEnabled(Button button) const {
  return IsWindowEnabled(ButtonFor(button)) != FALSE;
}

void frmMain::CloseNow() {
  DestroyWindow(hwnd_);
}

void frmMain::SetFieldText(const std::string& text) {
  SetFieldText(WideOfText(text));
}

void frmMain::ShowHistory(const std::vector<std::string>& entries) {
  const std::wstring text = FieldText();
  const auto shown = static_cast<std::size_t>(SendMessageW(cbxAddressBook, CB_GETCOUNT, 0, 0));
  for (std::size_t i = shown; i < entries.size(); ++i) {
    const std::wstring entry = WideOfText(entries[i]);
    SendMessageW(cbxAddressBook, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
  }
  SetFieldText(text);
}

bool frmMain::ChooseAddressBook() {
  const std::optional<std::wstring> chosen = dialogs_->ChooseAddressBook(hwnd_);
  if (chosen) SetFieldText(*chosen);
  return chosen.has_value();
}

std::wstring frmMain::FieldText() const {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(cbxAddressBook)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      GetWindowTextW(cbxAddressBook, text.data(), static_cast<int>(text.size()))));
  return text;
}

void frmMain::SetFieldText(const std::wstring& text) {
  SetWindowTextW(cbxAddressBook, text.c_str());
}

HWND frmMain::FieldEdit() const {
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  GetComboBoxInfo(cbxAddressBook, &info);
  return info.hwndItem;
}

// A history entry shows as it is kept; anything else is a file name typed
// or chosen, in the code page's spelling (or its short name).
std::string frmMain::AddressBookText() const {
  const std::wstring text = FieldText();
  for (const std::string& entry : history().entries()) {
    if (WideOfText(entry) == text) return entry;
  }
  return TextOfPath(std::filesystem::path(text));
}

// The file by its long name, also where the field gives its short one (a
// history entry of a name the code page cannot spell).
std::filesystem::path frmMain::AddressBookPath() const {
  return LongNameOf(std::filesystem::path(FieldText()));
}

void frmMain::SetStatusText(const std::string& text) {
  status_ = text;
  SetWindowTextW(lblStatusText, WideOfText(text).c_str());
}

HWND frmMain::ButtonFor(Button button) const {
  switch (button) {
    case Button::kConvert: return cmdConvert;
    case Button::kBrowse: return cmdOpen;
    case Button::kView: return cmdView;
    case Button::kExport: return cmdExport;
  }
  return cmdConvert;
}

void frmMain::SetButtonEnabled(Button button, bool enabled) {
  EnableWindow(ButtonFor(button), enabled ? TRUE : FALSE);
}

void frmMain::FocusButton(Button button) {
  focused_ = ButtonFor(button);
  SetFocus(focused_);
}

void frmMain::FocusAddressBook() {
  focused_ = cbxAddressBook;
  SetFocus(cbxAddressBook);
}

void frmMain::ShowMessage(const std::string& text, MessageStyle style, const std::string& title) {
  dialogs_->ShowMessage(hwnd_, WideOfText(text), style, WideOfText(title));
}

PumpResult frmMain::PumpEvents() {
  MSG message{};
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {  // for the loop that waits for it
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (!IsDialogMessageW(hwnd_, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  return closing() ? PumpResult::kWindowClosing : PumpResult::kContinue;
}

// The keys go to the control the window gave the focus last, which takes
// them even while the window is not active (right after a message box
// closes, it may not be yet). They are posted, not waited for, as keys
// typed are: the run goes on and they arrive when the window next
// processes its messages.
void frmMain::SendKeys(std::string_view keys) {
  const HWND target = focused_ != nullptr ? focused_ : GetFocus();
  if (target == nullptr || (target != FieldEdit() && !IsComboBox(target))) return;
  pending_keys_.emplace_back(keys);
  PostMessageW(hwnd_, kKeysArrive, 0, 0);
}

void frmMain::OnKeysArrive() {
  if (pending_keys_.empty()) return;
  SendKeysToEdit(FieldEdit(), pending_keys_.front());
  pending_keys_.pop_front();
}

}  // namespace veltrana::win32
