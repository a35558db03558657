// The Qt window behind the shared window cases: real clicks on its buttons,
// typing into its field, its labels and focus read back.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <map>
#include <memory>

#include "form/window_driver.h"
#include "support/temp_dir.h"
#include "ui/fake_dialogs.h"
#include "ui/file_name_text.h"
#include "ui/frm_main.h"
#include "ui/url_recorder.h"

namespace veltrana::test {

class QtWindowDriver : public WindowDriver {
 public:
  ~QtWindowDriver() override { QDesktopServices::unsetUrlHandler("file"); }

  void Open(const std::filesystem::path& settings_folder,
            const std::optional<std::string>& ini) override {
    if (ini) WriteBytes(settings_folder / "veltra.ini", *ini);
    OpenAt({settings_folder, true});
  }

  // Opens the window keeping its settings at `location`.
  void OpenAt(SettingsLocation location) {
    QDesktopServices::setUrlHandler("file", &viewer_, "open");
    frmMain::Options options;
    options.settings = std::move(location);
    options.dialogs = std::make_unique<FakeDialogs>(log_);
    options.date = CalendarDate{2026, 12, 7};
    window_ = std::make_unique<frmMain>(std::move(options));
    window_->show();
    window_->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  }

  void Type(const std::string& text) override {
    QLineEdit* edit = Field<QComboBox>("cbxAddressBook")->lineEdit();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QInputMethodEvent typed;  // as an input method commits text, any characters
    typed.setCommitString(ShowBytes(text));
    QCoreApplication::sendEvent(edit, &typed);
  }
  void Click(const std::string& button) override {
    QTest::mouseClick(Field<QPushButton>(kButtons.at(button)), Qt::LeftButton);
    QCoreApplication::processEvents();  // what the run posted, such as keys
  }
  void AnswerBrowse(const std::optional<std::string>& path) override {
    log_.browse_answer = path ? std::optional<QString>(ShowBytes(*path)) : std::nullopt;
  }
  void FailBrowse() override { log_.browse_fails = true; }

  std::string Field() override { return window_->AddressBookText(); }
  std::string SelectedFieldText() override {
    return FileNameBytes(Field<QComboBox>("cbxAddressBook")->lineEdit()->selectedText());
  }
  std::vector<std::string> History() override {
    std::vector<std::string> items;
    QComboBox* field = Field<QComboBox>("cbxAddressBook");
    for (int i = 0; i < field->count(); ++i) items.push_back(field->itemText(i).toStdString());
    return items;
  }
  std::string Status() override {
    return Field<QLabel>("lblStatusText")->text().toUtf8().toStdString();
  }
  bool Enabled(const std::string& button) override {
    return Field<QPushButton>(kButtons.at(button))->isEnabled();
  }
  // The window's focused control: the one with the focus whenever the
  // window is active (right after a message box closes, it is not yet).
  std::string Focus() override {
    const QWidget* focused = window_->focusWidget();
    if (focused == nullptr) return "";
    for (const auto& [name, object] : kButtons) {
      if (focused->objectName() == object) return name;
    }
    return focused->objectName() == "cbxAddressBook" ? "field"
                                                     : focused->objectName().toStdString();
  }
  std::vector<std::string> Messages() override {
    std::vector<std::string> messages;
    for (const QString& message : log_.messages) messages.push_back(message.toStdString());
    return messages;
  }
  std::vector<std::filesystem::path> Viewed() override {
    std::vector<std::filesystem::path> viewed;
    for (const QUrl& url : viewer_.urls) viewed.emplace_back(url.toLocalFile().toStdString());
    return viewed;
  }

  // Closes the window, as the user ends the program.
  void Close() { window_.reset(); }

  frmMain& window() { return *window_; }
  DialogLog& dialogs() { return log_; }

 private:
  inline static const std::map<std::string, const char*> kButtons{
      {"Convert", "cmdConvert"}, {"Browse", "cmdOpen"}, {"View", "cmdView"}};

  template <typename T>
  T* Field(const char* name) {
    return window_->findChild<T*>(QString::fromLatin1(name));
  }

  DialogLog log_;
  UrlRecorder viewer_;
  std::unique_ptr<frmMain> window_;
};

}  // namespace veltrana::test
