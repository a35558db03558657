// The window's modal dialogs, behind a small seam so that tests can answer
// them without blocking. The real ones are used unless a test replaces them.
#pragma once

#include <QString>
#include <memory>
#include <optional>

#include "conversion/converter_window.h"
#include "form/export_dialog.h"

class QFileDialog;
class QWidget;

namespace veltrana {

class WindowDialogs {
 public:
  virtual ~WindowDialogs() = default;
  // A modal message box: style 16 has the critical icon, style 0 none; one
  // OK button either way.
  virtual void ShowMessage(QWidget* parent, const QString& text, MessageStyle style,
                           const QString& title) = 0;
  // The Browse dialog; the chosen file's full path, or nothing when the user
  // cancelled.
  [[nodiscard]] virtual std::optional<QString> ChooseAddressBook(QWidget* parent) = 0;
  // The Save dialog of an export; nothing when the user cancelled.
  [[nodiscard]] virtual std::optional<ExportDialogAnswer> ChooseExportFile(
      QWidget* parent, const ExportDialogRequest& request) = 0;
};

// The Browse dialog as the window shows it: titled "Open Address Book",
// filters "Address Books (*.txt)" (preselected) and "All Files (*.*)", which
// shows every file, with "txt" added to a name typed without an extension.
[[nodiscard]] std::unique_ptr<QFileDialog> MakeOpenAddressBookDialog(QWidget* parent);

// The Save dialog of an export: titled "Export Address Book", a file type
// per format (the first preselected, its ending added to a name typed
// without one, and put in place of the name's when the type changes), the
// suggested file in its folder, and the check box "Include the other
// address books in this folder" (on) when the request offers it.
[[nodiscard]] std::unique_ptr<QFileDialog> MakeExportDialog(QWidget* parent,
                                                            const ExportDialogRequest& request);
// What the accepted dialog answers.
[[nodiscard]] ExportDialogAnswer ExportAnswerOf(const QFileDialog& dialog);

// The real message box and file dialogs.
[[nodiscard]] std::unique_ptr<WindowDialogs> MakeQtDialogs();

}  // namespace veltrana
