#include "ui/window_dialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

#include "conversion/converter_window.h"

namespace veltrana {

namespace {

class QtDialogs : public WindowDialogs {
 public:
  void ShowMessage(QWidget* parent, const QString& text, MessageStyle style,
                   const QString& title) override {
    QMessageBox box(style == MessageStyle::kCritical ? QMessageBox::Critical : QMessageBox::NoIcon,
                    title, text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
  }

  std::optional<QString> ChooseAddressBook(QWidget* parent) override {
    const std::unique_ptr<QFileDialog> dialog = MakeOpenAddressBookDialog(parent);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) {
      return std::nullopt;
    }
    return dialog->selectedFiles().constFirst();
  }
};

}  // namespace

std::unique_ptr<QFileDialog> MakeOpenAddressBookDialog(QWidget* parent) {
  auto dialog = std::make_unique<QFileDialog>(parent, QStringLiteral("Open Address Book"));
  dialog->setAcceptMode(QFileDialog::AcceptOpen);
  dialog->setFileMode(QFileDialog::ExistingFile);
  // The dialog shows each filter's caption only; the pattern in the last
  // parentheses is the one applied. "*" shows every file, as "*.*" does on
  // Windows (on other systems "*.*" would hide names without a dot).
  dialog->setOption(QFileDialog::HideNameFilterDetails, true);
  dialog->setOption(QFileDialog::DontUseNativeDialog, true);
  dialog->setNameFilters(
      {QStringLiteral("Address Books (*.txt) (*.txt)"), QStringLiteral("All Files (*.*) (*)")});
  dialog->selectNameFilter(dialog->nameFilters().constFirst());
  dialog->setDefaultSuffix(QStringLiteral("txt"));
  return dialog;
}

std::unique_ptr<WindowDialogs> MakeQtDialogs() {
  return std::make_unique<QtDialogs>();
}

}  // namespace veltrana
