#include "conversion/book_failure_report.h"

#include "base/program_identity.h"

namespace veltrana {

void ReportEmptyName(ConverterWindow& window) {
  window.ShowMessage("Must enter name of Address Book file to convert", MessageStyle::kCritical,
                     kAppTitle);
  window.SetStatusText(kInvalidNameStatus);
  window.SetButtonEnabled(Button::kConvert, true);
  window.SetButtonEnabled(Button::kBrowse, true);
}

void ReportMissingBook(ConverterWindow& window, const std::string& addressbook) {
  window.ShowMessage("Specified Address Book does not exist.\r\nFilename: " + addressbook,
                     MessageStyle::kCritical, kAppTitle);
  window.SetStatusText(kInvalidNameStatus);
  window.FocusAddressBook();
  window.SetButtonEnabled(Button::kBrowse, true);
  window.SendKeys("{home}+{end}");
  window.FocusButton(Button::kBrowse);
}

void ReportWouldOverwrite(ConverterWindow& window, std::string_view what,
                          const std::string& addressbook) {
  window.ShowMessage("The " + std::string(what) +
                         " would overwrite the address book itself.\r\nFilename: " + addressbook,
                     MessageStyle::kCritical, kAppTitle);
  window.SetStatusText(kInvalidNameStatus);
  window.SetButtonEnabled(Button::kConvert, true);
  window.SetButtonEnabled(Button::kBrowse, true);
}

}  // namespace veltrana
