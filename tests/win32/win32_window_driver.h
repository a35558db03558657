// The Win32 window behind the shared window cases, driven through its real
// controls: BM_CLICK, WM_SETTEXT, GetWindowTextW, IsWindowEnabled, GetFocus.
#pragma once

// clang-format off
#include <windows.h>
#include <commctrl.h>  // after windows.h, which it needs
// clang-format on

#include <map>
#include <memory>

#include "base/system_text.h"
#include "form/window_driver.h"
#include "support/temp_dir.h"
#include "win32/fake_dialogs.h"
#include "win32/frm_main.h"

namespace veltrana::test {

class Win32WindowDriver : public WindowDriver {
 public:
  void Open(const std::filesystem::path& settings_folder,
            const std::optional<std::string>& ini) override {
    if (ini) WriteBytes(settings_folder / "veltra.ini", *ini);
    win32::frmMain::Options options;
    options.settings = {settings_folder, true};
    options.dialogs = std::make_unique<Win32FakeDialogs>(log_);
    options.date = CalendarDate{2026, 12, 7};
    options.quit_when_closed = false;
    window_ = std::make_unique<win32::frmMain>(std::move(options));
    window_->Show();
    SetForegroundWindow(window_->hwnd());
    Pump();
  }

  void Type(const std::string& text) override {
    SendMessageW(Control("cbxAddressBook"), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(WideOfText(text).c_str()));
    Pump();
  }
  void Click(const std::string& button) override {
    seen_.clear();
    const HWND status = Control("lblStatusText");
    SetWindowSubclass(status, &Win32WindowDriver::WatchPaint, 1, reinterpret_cast<DWORD_PTR>(this));
    SendMessageW(Control(kButtons.at(button)), BM_CLICK, 0, 0);
    if (window_->is_open()) RemoveWindowSubclass(status, &Win32WindowDriver::WatchPaint, 1);
    Pump();
  }
  void AnswerExport(const std::optional<ExportChoice>& choice) override {
    log_.export_answer.reset();
    if (!choice) return;
    const std::filesystem::path path(WideOfText(choice->file));
    log_.export_answer = AnswerOf(*choice, path, TextOfPath(path));
  }
  std::vector<std::string> ExportDialogs() override { return Described(log_.export_requests); }
  std::vector<std::string> SeenDuringClick() override { return seen_; }
  void AnswerBrowse(const std::optional<std::string>& path) override {
    log_.browse_answer = path ? std::optional<std::wstring>(WideOfText(*path)) : std::nullopt;
  }
  void FailBrowse() override { log_.browse_fails = true; }

  std::string Field() override { return Text(Control("cbxAddressBook")); }
  std::string SelectedFieldText() override {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    GetComboBoxInfo(Control("cbxAddressBook"), &info);
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(info.hwndItem, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    return Text(info.hwndItem).substr(start, end - start);
  }
  std::vector<std::string> History() override {
    std::vector<std::string> items;
    const HWND field = Control("cbxAddressBook");
    const auto count = static_cast<int>(SendMessageW(field, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      std::wstring item(static_cast<std::size_t>(SendMessageW(field, CB_GETLBTEXTLEN, i, 0)),
                        L'\0');
      SendMessageW(field, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()));
      items.push_back(TextOfWide(item));
    }
    return items;
  }
  std::string Status() override {
    std::string status = Text(Control("lblStatusText"));
    for (std::size_t at = status.find("\r\n"); at != std::string::npos;
         at = status.find("\r\n", at)) {
      status.erase(at, 1);
    }
    return status;
  }
  bool Enabled(const std::string& button) override {
    return IsWindowEnabled(Control(kButtons.at(button))) != FALSE;
  }
  std::string Focus() override {
    const HWND focus = GetFocus();
    for (const auto& [name, control] : kButtons) {
      if (focus == Control(control)) return name;
    }
    const HWND field = Control("cbxAddressBook");
    return focus != nullptr && (focus == field || GetParent(focus) == field) ? "field" : "";
  }
  std::vector<std::string> Messages() override { return log_.messages; }
  std::vector<std::filesystem::path> Viewed() override { return log_.viewed; }

  win32::frmMain& window() { return *window_; }
  Win32DialogLog& dialogs() { return log_; }
  HWND Control(const char* name) { return window_->Control(name); }

  // Lets the window process what is pending, as its message loop does.
  void Pump() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (window_->is_open() && IsDialogMessageW(window_->hwnd(), &message)) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }

 private:
  inline static const std::map<std::string, const char*> kButtons{{"Convert", "cmdConvert"},
                                                                  {"Browse", "cmdOpen"},
                                                                  {"View", "cmdView"},
                                                                  {"Export", "cmdExport"}};

  // The status line as the user sees it: a static control paints a new
  // text at once, but the user sees it only while the window processes its
  // messages. Each new text posts a note that is taken when it next does;
  // the text and the buttons are recorded then.
  static constexpr UINT kStatusShown = WM_APP + 7;
  static LRESULT CALLBACK WatchPaint(HWND control, UINT message, WPARAM w, LPARAM l, UINT_PTR,
                                     DWORD_PTR driver) {
    auto* self = reinterpret_cast<Win32WindowDriver*>(driver);
    if (message == WM_SETTEXT) PostMessageW(control, kStatusShown, 0, 0);
    if (message == kStatusShown) {
      self->seen_.push_back(self->Status() + " " + self->ButtonsNow());
      return 0;
    }
    return DefSubclassProc(control, message, w, l);
  }

  static std::string Text(HWND control) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return TextOfWide(text);
  }

  Win32DialogLog log_;
  std::vector<std::string> seen_;
  std::unique_ptr<win32::frmMain> window_;
};

}  // namespace veltrana::test
