// Dialogs answered by the test: messages are recorded, Browse returns what
// the test chose.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "ui/window_dialogs.h"

namespace veltrana::testing {

struct DialogLog {
  QStringList messages;  // "style title: text"
  int browse_shown = 0;
  std::optional<QString> browse_answer;  // nothing: the user cancels
};

class FakeDialogs : public WindowDialogs {
 public:
  explicit FakeDialogs(DialogLog& log) : log_(log) {}
  void ShowMessage(QWidget*, const QString& text, int style, const QString& title) override {
    log_.messages << QString::number(style) + " " + title + ": " + text;
  }
  std::optional<QString> ChooseAddressBook(QWidget*) override {
    ++log_.browse_shown;
    return log_.browse_answer;
  }

 private:
  DialogLog& log_;
};

}  // namespace veltrana::testing
