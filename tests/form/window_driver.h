// What a window test does to the main window and sees of it, whichever
// toolkit draws the window: the same cases run against the Qt window and
// the Win32 window, so the two cannot drift apart.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "form/export_dialog.h"

namespace veltrana::test {

// What the user answers in an export's Save dialog.
struct ExportChoice {
  std::string file;           // as the program keeps text
  std::size_t type = 0;       // the file type: 0 vCard 3.0, 1 vCard 4.0, 2 CSV, 3 LDIF, 4 mutt,
                              // 5 the page of today
  bool whole_folder = false;  // the check box, when the dialog shows it
};

// What a Save dialog answers for `choice`, with the file's names as the
// window's real dialog gives them.
inline ExportDialogAnswer AnswerOf(const ExportChoice& choice, std::filesystem::path path,
                                   std::string text) {
  return {std::move(path), std::move(text), choice.type, choice.whole_folder};
}

// Each request as WindowDriver::ExportDialogs describes it.
inline std::vector<std::string> Described(const std::vector<ExportDialogRequest>& requests) {
  std::vector<std::string> shown;
  for (const ExportDialogRequest& request : requests) {
    shown.push_back(request.suggested_text + (request.offers_whole_folder ? " [folder]" : ""));
  }
  return shown;
}

class WindowDriver {
 public:
  virtual ~WindowDriver() = default;

  // Opens the window as the program does, keeping its settings in
  // `settings_folder`, where `ini` is written first as veltra.ini (none
  // when it is not given). Pages are dated 7 December 2026.
  virtual void Open(const std::filesystem::path& settings_folder,
                    const std::optional<std::string>& ini) = 0;

  // Replaces the field's text (8-bit, as the program keeps text).
  virtual void Type(const std::string& text) = 0;
  // Presses "Convert", "Browse", "View" or "Export" as a user does, with
  // the mouse.
  virtual void Click(const std::string& button) = 0;
  // What Browse's dialog answers next: a chosen file, or nothing (cancel).
  virtual void AnswerBrowse(const std::optional<std::string>& path) = 0;
  // Browse's dialog fails next, with an exception that carries no failure
  // code (neither a choice nor a cancel).
  virtual void FailBrowse() = 0;
  // What the export's Save dialog answers next, or nothing (cancel).
  virtual void AnswerExport(const std::optional<ExportChoice>& choice) = 0;
  // Each Save dialog shown: the file it suggested, and " [folder]" when it
  // offered the check box.
  virtual std::vector<std::string> ExportDialogs() = 0;
  // What the user saw while the last Click ran: each time the window
  // painted its status line, that line (lines joined by "\n") and then the
  // buttons, "CBVE" for Convert, Browse, View and Export, "-" for each one
  // disabled then.
  virtual std::vector<std::string> SeenDuringClick() = 0;

  virtual std::string Field() = 0;
  virtual std::string SelectedFieldText() = 0;
  virtual std::vector<std::string> History() = 0;
  // The status line, its lines joined by "\n".
  virtual std::string Status() = 0;
  virtual bool Enabled(const std::string& button) = 0;
  // "Convert", "Browse", "View", "Export" or "field": the control with the
  // focus.
  virtual std::string Focus() = 0;
  // Every message box shown, as "style title: text", lines joined by "\n".
  virtual std::vector<std::string> Messages() = 0;
  // The files View asked the system to open.
  virtual std::vector<std::filesystem::path> Viewed() = 0;

  // The four buttons as SeenDuringClick shows them: "CBVE", "-" for each
  // one disabled.
  std::string ButtonsNow() {
    std::string buttons;
    for (const char* name : {"Convert", "Browse", "View", "Export"}) {
      buttons += Enabled(name) ? name[0] : '-';
    }
    return buttons;
  }
};

}  // namespace veltrana::test
