// The main window's procedures, whichever toolkit draws the window: the
// load step, Convert, Browse, Export, and closing the window during a run. A
// toolkit's window derives from this, supplies its controls through the few
// operations below and the ConverterWindow ones the runs use, and calls the
// procedures from its events. So the Qt window and the Win32 window are two
// faces of one window, not two copies of it.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/calendar_date.h"
#include "conversion/converter_window.h"
#include "form/export_dialog.h"
#include "form/settings_procedures.h"
#include "page/converter_state.h"
#include "settings/address_book_history.h"
#include "settings/settings_file.h"
#include "settings/settings_history.h"

namespace veltrana {

class MainForm : public ConverterWindow {
 public:
  // One window, one state: the end step holds on to this form's settings.
  MainForm(const MainForm&) = delete;
  MainForm& operator=(const MainForm&) = delete;

  const ConverterState& state() const { return state_; }
  const AddressBookHistory& history() const { return settings_.history(); }
  // Full path of the page the last run started, which View opens.
  const std::filesystem::path& htmlfile() const { return htmlfile_; }

  // The window's event procedures.
  void Form_Load();
  void cmdConvert_Click();
  void cmdOpen_Click();
  void cmdExport_Click();

 protected:
  // Keeps its settings at `settings`; pages are dated `date`, today when
  // unset.
  MainForm(SettingsLocation settings, std::optional<CalendarDate> date);

  // The toolkit's part. Puts `text` (8-bit, as the program keeps text) into
  // the address-book field.
  virtual void SetFieldText(const std::string& text) = 0;
  // Shows `entries` as the field's list, which only ever grows at its end;
  // the field's text stays as it is.
  virtual void ShowHistory(const std::vector<std::string>& entries) = 0;
  // Shows Browse's dialog and puts the chosen file into the field; false
  // when the user cancelled.
  [[nodiscard]] virtual bool ChooseAddressBook() = 0;
  // Shows the Save dialog of an export; none when the user cancelled.
  [[nodiscard]] virtual std::optional<ExportDialogAnswer> ChooseExportFile(
      const ExportDialogRequest& request) = 0;
  // What the status line shows, and whether a button is enabled, so that
  // an export the user cancels leaves them as they were.
  virtual std::string StatusText() const = 0;
  virtual bool ButtonEnabled(Button button) const = 0;
  // Closes the window at once.
  virtual void CloseNow() = 0;

  // The user closes the window: true when it may close now. During a run it
  // may not; the run ends at its next event pump, and the window closes
  // after it.
  [[nodiscard]] bool MayClose();
  // Whether the user closed the window during the run (for PumpEvents).
  bool closing() const { return closing_; }

 private:
  void FinishLastPage();

  void RememberExported(const std::string& addressbook);

  ConverterState state_;
  SettingsHistory settings_;
  SettingsEndStep end_step_{settings_};
  std::optional<CalendarDate> date_;
  std::filesystem::path htmlfile_;

  bool running_ = false;  // a conversion run or an export is in progress
  bool closing_ = false;  // the user closed the window during the run
};

}  // namespace veltrana
