#include "conversion/book_failure_report.h"

#include "base/program_identity.h"

namespace veltrana {

void ReportEmptyName(const RunFront& front) {
  front.view().ShowMessage("Must enter name of Address Book file to convert",
                           MessageStyle::kCritical, kAppTitle);
  front.view().SetStatusText(kInvalidNameStatus);
  front.SetButtonEnabled(Button::kConvert, true);
  front.SetButtonEnabled(Button::kBrowse, true);
}

void ReportMissingBook(const RunFront& front, const std::string& addressbook) {
  front.view().ShowMessage("Specified Address Book does not exist.\r\nFilename: " + addressbook,
                           MessageStyle::kCritical, kAppTitle);
  front.view().SetStatusText(kInvalidNameStatus);
  front.FocusAddressBook();
  front.SetButtonEnabled(Button::kBrowse, true);
  front.SendKeys("{home}+{end}");
  front.FocusButton(Button::kBrowse);
}

void ReportWouldOverwrite(const RunFront& front, std::string_view what,
                          const std::string& addressbook) {
  front.view().ShowMessage(
      "The " + std::string(what) +
          " would overwrite the address book itself.\r\nFilename: " + addressbook,
      MessageStyle::kCritical, kAppTitle);
  front.view().SetStatusText(kInvalidNameStatus);
  front.SetButtonEnabled(Button::kConvert, true);
  front.SetButtonEnabled(Button::kBrowse, true);
}

}  // namespace veltrana
