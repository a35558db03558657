// The window's modal dialogs, behind a small seam so that tests can answer
// them without blocking. The real ones are used unless a test replaces them.
#pragma once

#include <QString>
#include <memory>
#include <optional>

#include "conversion/converter_window.h"

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
  virtual std::optional<QString> ChooseAddressBook(QWidget* parent) = 0;
};

// The Browse dialog as the window shows it: titled "Open Address Book",
// filters "Address Books (*.txt)" (preselected) and "All Files (*.*)", which
// shows every file, with "txt" added to a name typed without an extension.
std::unique_ptr<QFileDialog> MakeOpenAddressBookDialog(QWidget* parent);

// The real message box and file dialog.
std::unique_ptr<WindowDialogs> MakeQtDialogs();

}  // namespace veltrana
