// The main window on Windows: the address-book field, the status line and
// the Convert, Browse, View and Export buttons, as native controls. It owns
// the converter state and the history, and is the window the conversion run
// and the export talk to.
#pragma once

#include <windows.h>

#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/calendar_date.h"
#include "conversion/converter_window.h"
#include "form/main_form.h"
#include "page/converter_state.h"
#include "settings/address_book_history.h"
#include "settings/settings_directory.h"
#include "settings/settings_file.h"
#include "win32/window_dialogs.h"

namespace veltrana::win32 {

class frmMain : public MainForm {
 public:
  struct Options {
    // Where "veltra.ini" lives; none when empty.
    SettingsLocation settings;
    // The message box and the file dialog; the system's when null. Tests
    // answer them themselves.
    std::unique_ptr<WindowDialogs> dialogs;
    // The date in the page header; today when unset.
    std::optional<CalendarDate> date;
    // Closing the window ends the program's message loop.
    bool quit_when_closed = true;
  };

  // The program's own: "veltra.ini" beside the program when it may live
  // there, else in the user's settings folder (which looks at the disk).
  static Options ProgramOptions();

  // Creates the window, which runs its load step; it is not shown yet.
  explicit frmMain(Options options);
  // Shows the window, the focus on Convert.
  void Show();
  ~frmMain() override;
  frmMain(const frmMain&) = delete;
  frmMain& operator=(const frmMain&) = delete;

  HWND hwnd() const { return hwnd_; }
  // A control by its name ("cmdConvert", "cbxAddressBook", ...), or null.
  HWND Control(std::string_view name) const;
  // False once the window has been closed.
  bool is_open() const { return hwnd_ != nullptr; }

  // The View button's event procedure; the others are the main form's.
  void cmdView_Click();

  // What the runs show and need of the window.
  std::string AddressBookText() const override;
  std::filesystem::path AddressBookPath() const override;
  void SetStatusText(const std::string& text) override;
  void SetButtonEnabled(Button button, bool enabled) override;
  void FocusButton(Button button) override;
  void FocusAddressBook() override;
  void ShowMessage(const std::string& text, MessageStyle style, const std::string& title) override;
  PumpResult PumpEvents() override;
  void SendKeys(std::string_view keys) override;

 protected:
  // The main form's controls.
  void SetFieldText(const std::string& text) override;
  void ShowHistory(const std::vector<std::string>& entries) override;
  [[nodiscard]] bool ChooseAddressBook() override;
  [[nodiscard]] std::optional<ExportDialogAnswer> ChooseExportFile(
      const ExportDialogRequest& request) override;
  std::string StatusText() const override { return status_; }
  bool ButtonEnabled(Button button) const override;
  void CloseNow() override;

 private:
  struct ControlLayout;
  static const ControlLayout kControls[8];

  int Pixels(int twips) const;
  void GrowCaption(HWND caption);
  static LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT message, WPARAM w, LPARAM l);
  LRESULT Handle(UINT message, WPARAM w, LPARAM l);
  void CreateControls();
  HWND ButtonFor(Button button) const;
  HWND FieldEdit() const;
  std::wstring FieldText() const;
  void SetFieldText(const std::wstring& text);
  void OnCommand(HWND control);
  void OnClose();
  void OnKeysArrive();

  // The message that delivers keys sent to the field.
  static constexpr UINT kKeysArrive = WM_APP + 1;

  std::unique_ptr<WindowDialogs> dialogs_;
  bool quit_when_closed_;
  HFONT font_ = nullptr;
  int dpi_ = 96;

  HWND hwnd_ = nullptr;
  HWND focused_ = nullptr;                // the control the window gave the focus last
  std::deque<std::string> pending_keys_;  // sent to the field, not yet arrived
  HWND Label1 = nullptr;
  HWND cmdConvert = nullptr;
  HWND lblStatusText = nullptr;
  HWND cmdOpen = nullptr;
  HWND lblStatus = nullptr;
  HWND cmdView = nullptr;
  HWND cbxAddressBook = nullptr;
  HWND cmdExport = nullptr;
  std::string status_;  // the status line's text, as the program keeps it
};

}  // namespace veltrana::win32
