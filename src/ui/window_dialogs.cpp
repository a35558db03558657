#include "ui/window_dialogs.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QStringList>

#include "conversion/converter_window.h"
#include "ui/file_name_text.h"

namespace veltrana {

namespace {

class QtDialogs : public WindowDialogs {
 public:
  void ShowMessage(QWidget* parent, const QString& text, MessageStyle style,
                   const QString& title) override {
    const QMessageBox::Icon icon = style == MessageStyle::kCritical  ? QMessageBox::Critical
                                   : style == MessageStyle::kWarning ? QMessageBox::Warning
                                                                     : QMessageBox::NoIcon;
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
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

  std::optional<ExportDialogAnswer> ChooseExportFile(QWidget* parent,
                                                     const ExportDialogRequest& request) override {
    const std::unique_ptr<QFileDialog> dialog = MakeExportDialog(parent, request);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) {
      return std::nullopt;
    }
    return ExportAnswerOf(*dialog);
  }
};

QString Latin1(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

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

// Qt's own dialog, not the desktop's: only it can hold the check box.
std::unique_ptr<QFileDialog> MakeExportDialog(QWidget* parent, const ExportDialogRequest& request) {
  auto dialog = std::make_unique<QFileDialog>(parent, Latin1(kExportDialogTitle));
  dialog->setAcceptMode(QFileDialog::AcceptSave);
  dialog->setFileMode(QFileDialog::AnyFile);
  dialog->setOption(QFileDialog::DontUseNativeDialog, true);
  QStringList filters;
  for (const ExportFileType& type : ExportFileTypes())
    filters << QString::fromStdString(type.caption);
  dialog->setNameFilters(filters);
  dialog->selectNameFilter(filters.constFirst());
  dialog->setDefaultSuffix(QString::fromStdString(ExportFileTypes().front().extension));
  const QFileInfo suggested(ShowBytes(request.suggested_text));
  dialog->setDirectory(suggested.absolutePath());
  dialog->selectFile(suggested.fileName());
  QFileDialog* shown = dialog.get();
  QObject::connect(shown, &QFileDialog::filterSelected, shown, [shown](const QString& filter) {
    const auto index = static_cast<std::size_t>(shown->nameFilters().indexOf(filter));
    if (index >= ExportFileTypes().size()) return;
    const QString extension = QString::fromStdString(ExportFileTypes()[index].extension);
    shown->setDefaultSuffix(extension);
    auto* name = shown->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (name == nullptr) return;
    const QString typed = name->text();
    const std::size_t ending = ExportEndingLength(typed.toLatin1().toStdString());
    if (ending == 0) return;
    name->setText(typed.left(typed.size() - static_cast<qsizetype>(ending)) + "." + extension);
  });
  if (request.offers_whole_folder) {
    auto* whole_folder = new QCheckBox(Latin1(kWholeFolderCaption), shown);
    whole_folder->setObjectName(QStringLiteral("wholeFolder"));
    whole_folder->setChecked(true);
    if (auto* grid = qobject_cast<QGridLayout*>(shown->layout())) {
      grid->addWidget(whole_folder, grid->rowCount(), 0, 1, grid->columnCount());
    }
  }
  return dialog;
}

ExportDialogAnswer ExportAnswerOf(const QFileDialog& dialog) {
  ExportDialogAnswer answer;
  const QString file = dialog.selectedFiles().value(0);
  answer.text = FileNameBytes(file);
  answer.path = answer.text;
  const qsizetype type = dialog.nameFilters().indexOf(dialog.selectedNameFilter());
  answer.type = type < 0 ? 0 : static_cast<std::size_t>(type);
  const auto* whole_folder = dialog.findChild<QCheckBox*>(QStringLiteral("wholeFolder"));
  answer.whole_folder = whole_folder != nullptr && whole_folder->isChecked();
  return answer;
}

std::unique_ptr<WindowDialogs> MakeQtDialogs() {
  return std::make_unique<QtDialogs>();
}

}  // namespace veltrana
