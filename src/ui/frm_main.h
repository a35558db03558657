// The main window: the address-book field, the status line and the Convert,
// Browse, View and Export buttons. It owns the converter state and the
// history, and is the window the conversion run and the export talk to.
#pragma once

#include <QWidget>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "base/calendar_date.h"
#include "conversion/converter_window.h"
#include "form/main_form.h"
#include "page/converter_state.h"
#include "settings/address_book_history.h"
#include "settings/settings_directory.h"
#include "settings/settings_file.h"
#include "ui/module1.h"
#include "ui/window_dialogs.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace veltrana {

class frmMain : public QWidget, public MainForm {
 public:
  struct Options {
    // Where "veltra.ini" lives; none when empty.
    SettingsLocation settings;
    // The message box and the file dialog; Qt's when null. Tests answer
    // them themselves.
    std::unique_ptr<WindowDialogs> dialogs;
    // The date in the page header; today when unset.
    std::optional<CalendarDate> date;
  };

  // The program's own: "veltra.ini" beside the program when it may live
  // there, else in the user's settings folder (which looks at the disk),
  // and Qt's dialogs.
  static Options ProgramOptions();

  frmMain();
  explicit frmMain(Options options, QWidget* parent = nullptr);
  ~frmMain() override;

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
  void closeEvent(QCloseEvent* event) override;

  // The main form's controls.
  void SetFieldText(const std::string& text) override;
  void ShowHistory(const std::vector<std::string>& entries) override;
  [[nodiscard]] bool ChooseAddressBook() override;
  [[nodiscard]] std::optional<ExportDialogAnswer> ChooseExportFile(
      const ExportDialogRequest& request) override;
  std::string StatusText() const override;
  bool ButtonEnabled(Button button) const override;
  void CloseNow() override;

 private:
  void CreateControls();
  void PlaceControls();
  QPushButton* ButtonFor(Button button) const;

  std::unique_ptr<WindowDialogs> dialogs_;
  std::string status_;  // the status line's text, as the program keeps it

  QLabel* Label1 = nullptr;
  QComboBox* cbxAddressBook = nullptr;
  QPushButton* cmdView = nullptr;
  QPushButton* cmdOpen = nullptr;
  QPushButton* cmdConvert = nullptr;
  QLabel* lblStatus = nullptr;
  QLabel* lblStatusText = nullptr;
  QPushButton* cmdExport = nullptr;
};

}  // namespace veltrana
