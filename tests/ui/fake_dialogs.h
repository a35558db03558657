// Dialogs answered by the test: Browse returns what the test chose, and a
// message box is recorded and then shown the way the real one is, as a
// modal dialog with its own event loop: the window is not active while it
// is up, and right after it closes no window is.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <optional>
#include <stdexcept>

#include "ui/window_dialogs.h"

namespace veltrana::test {

struct DialogLog {
  QStringList messages;  // "style title: text"
  int modal_loops = 0;   // message boxes that were up, active, over the window
  int browse_shown = 0;
  std::optional<QString> browse_answer;  // nothing: the user cancels
  bool browse_fails = false;             // the dialog throws, once
};

class FakeDialogs : public WindowDialogs {
 public:
  explicit FakeDialogs(DialogLog& log) : log_(log) {}

  void ShowMessage(QWidget* parent, const QString& text, MessageStyle style,
                   const QString& title) override {
    log_.messages << QString::number(static_cast<int>(style)) + " " + title + ": " + text;
    QDialog box(parent);
    box.setWindowTitle(title);
    box.setModal(true);
    // The user reads it, then presses OK: once the box is the active window.
    QTimer reader;
    QObject::connect(&reader, &QTimer::timeout, &box, [this, &box] {
      if (QApplication::activeWindow() != &box) return;
      ++log_.modal_loops;
      box.accept();
    });
    reader.start(5);
    QTimer::singleShot(5000, &box, &QDialog::reject);  // a box that never shows fails the test
    box.exec();
  }

  std::optional<QString> ChooseAddressBook(QWidget*) override {
    ++log_.browse_shown;
    if (log_.browse_fails) {
      log_.browse_fails = false;
      throw std::runtime_error("the dialog could not be shown");
    }
    return log_.browse_answer;
  }

 private:
  DialogLog& log_;
};

}  // namespace veltrana::test
