// The real window, driven headless: real clicks, real typing, real labels.
#include "ui/frm_main.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <filesystem>

#include "form/window_cases.h"
#include "support/temp_dir.h"
#include "ui/fake_dialogs.h"
#include "ui/module1.h"
#include "ui/qt_window_driver.h"
#include "ui/url_recorder.h"

// Readable QStrings in gtest's messages.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << text.toStdString();
}

namespace veltrana {
namespace {

// What only the Qt window shows; the states both windows share are the
// window cases (shared_window_cases_test.cpp).
class FrmMainTest : public test::WindowCaseTest {
 protected:
  FrmMainTest() {
    auto driver = std::make_unique<test::QtWindowDriver>();
    qt_ = driver.get();
    driver_ = std::move(driver);
  }

  // Opens the window as the program does, with `ini` as its settings file
  // (none when it is not given).
  void Open(const std::optional<std::string>& ini = std::nullopt) {
    qt_->Open(settings_.path(), ini);
  }
  frmMain& Window() { return qt_->window(); }

  template <typename T>
  T* Control(const char* name) {
    T* control = Window().findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
  }
  QPushButton* Convert() { return Control<QPushButton>("cmdConvert"); }
  QPushButton* Browse() { return Control<QPushButton>("cmdOpen"); }
  QPushButton* View() { return Control<QPushButton>("cmdView"); }
  QPushButton* Export() { return Control<QPushButton>("cmdExport"); }
  QComboBox* Field() { return Control<QComboBox>("cbxAddressBook"); }
  // The window's focused control: the one that has the focus whenever the
  // window is active (right after a message box closes, it is not yet).
  QString Focused() { return Window().focusWidget() ? Window().focusWidget()->objectName() : ""; }

  // Replaces the field's text by typing it key by key, as a person does.
  void TypeKeys(const QString& text) {
    Field()->lineEdit()->selectAll();
    QTest::keyClick(Field(), Qt::Key_Delete);
    QTest::keyClicks(Field(), text);
  }

  test::QtWindowDriver* qt_ = nullptr;
};

TEST_F(FrmMainTest, ControlsCaptionsPlacesAndTabOrder) {
  Open();
  EXPECT_EQ(Window().windowTitle(), "Veltrana");
  EXPECT_EQ(Window().state().pagetitle, "Email Addresses");
  EXPECT_EQ(Convert()->text(), "&Convert");
  EXPECT_EQ(Browse()->text(), "&Browse");
  EXPECT_EQ(View()->text(), "&View");
  EXPECT_EQ(Export()->text(), "&Export...");
  EXPECT_EQ(Control<QLabel>("Label1")->text(), "Address Book:");
  EXPECT_EQ(Control<QLabel>("lblStatus")->text(), "Status:");
  EXPECT_TRUE(Field()->isEditable());
  // Twips at 15 a pixel, scaled with the screen.
  const double scale = Window().logicalDpiX() / 96.0 / 15;
  const auto px = [scale](int twips) { return qRound(twips * scale); };
  EXPECT_EQ(Window().size(), QSize(px(7380), px(2055)));
  EXPECT_EQ(Field()->geometry(), QRect(px(1440), px(120), px(4575), px(315)));
  EXPECT_EQ(Convert()->geometry(), QRect(px(6120), px(120), px(975), px(375)));
  EXPECT_EQ(Browse()->geometry(), QRect(px(6120), px(600), px(975), px(375)));
  EXPECT_EQ(View()->geometry(), QRect(px(6120), px(1080), px(975), px(375)));
  EXPECT_EQ(Export()->geometry(), QRect(px(6120), px(1560), px(975), px(375)));
  EXPECT_EQ(Control<QLabel>("lblStatusText")->geometry(),
            QRect(px(1440), px(600), px(4575), px(495)));
  // Captions end 105 twips before the controls they name, and are not clipped.
  for (const char* name : {"Label1", "lblStatus"}) {
    QLabel* caption = Control<QLabel>(name);
    EXPECT_EQ(caption->geometry().right() + 1, px(1335)) << name;
    EXPECT_GE(caption->width(), caption->sizeHint().width()) << name;
  }
  // Tab: Convert, Browse, View, the field, Export (View must be enabled to
  // take it).
  View()->setEnabled(true);
  const char* order[] = {"cmdOpen", "cmdView", "cbxAddressBook", "cmdExport", "cmdConvert"};
  for (const char* next : order) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(Focused(), next);
  }
}

// In the user's settings folder the window keeps the working directory it
// was started in: a book named without a folder is looked up there, as in
// any other program, and the folder is made by the first settings write.
TEST_F(FrmMainTest, SettingsInTheUsersFolderLeaveTheWorkingDirectoryAlone) {
  Open();
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(settings_.path()))
      << "beside the program, the settings folder is the working directory";
  qt_->Close();

  const std::filesystem::path user_folder = settings_.path() / "config" / "veltrana";
  std::filesystem::current_path(books_.path());
  qt_->OpenAt({user_folder, false, true});
  EXPECT_FALSE(test::Exists(user_folder));
  Book("near.txt", "alias a b\r\n");
  TypeKeys("near.txt");
  QTest::mouseClick(Convert(), Qt::LeftButton);
  const std::filesystem::path working = std::filesystem::current_path();
  std::filesystem::current_path(std::filesystem::temp_directory_path());
  EXPECT_EQ(working, std::filesystem::canonical(books_.path()));
  EXPECT_TRUE(View()->isEnabled());
  EXPECT_TRUE(test::Exists(books_.File("near.htm")));
  EXPECT_EQ(test::ReadBytes(user_folder / "veltra.ini"), "AddressBook=near.txt\r\n");
  EXPECT_TRUE(window().Messages().empty());
}

TEST_F(FrmMainTest, ViewOpensThePageOfTheLastRunAsAFileUrl) {
  test::UrlRecorder recorder;
  Open();
  QDesktopServices::setUrlHandler("file", &recorder, "open");
  window().Type(Book("v.txt", "alias a b\r\n"));
  window().Click("Convert");
  EXPECT_EQ(Window().htmlfile(), books_.File("v.htm"));
  window().Click("View");
  window().Click("View");
  QDesktopServices::unsetUrlHandler("file");
  ASSERT_EQ(recorder.urls.size(), 2);
  EXPECT_EQ(recorder.urls[0], QUrl::fromLocalFile(QString::fromStdString(books_.File("v.htm"))));
  EXPECT_EQ(recorder.urls[1], recorder.urls[0]);
}

// A message box is up as a real one is: modal, with its own event loop.
TEST_F(FrmMainTest, AMessageBoxIsModal) {
  Open();
  window().Type(books_.File("missing.txt"));
  window().Click("Convert");
  ASSERT_EQ(window().Messages().size(), 1u);
  EXPECT_EQ(qt_->dialogs().modal_loops, 1);
}

// A book named in Latin-1 bytes, as in an old Windows folder: typed as the
// window shows it, it converts under its own bytes, is remembered as those
// bytes, and converts again from the history at the next start.
TEST_F(FrmMainTest, ABookNamedInLatin1ConvertsAndComesBackFromTheHistory) {
  test::UrlRecorder recorder;
  const std::string book = Book("caf\xE9.txt", "alias a b\r\n");
  const QString folder = QString::fromStdString(books_.path().string());
  const QString shown = folder + QString::fromUtf8("/caf\xC3\xA9.txt");
  Open();
  QDesktopServices::setUrlHandler("file", &recorder, "open");
  window().Type(book);
  QTest::mouseClick(Convert(), Qt::LeftButton);
  ExpectButtons(true, true, true);
  const std::string page = test::ReadBytes(books_.File("caf\xE9.htm"));
  EXPECT_NE(page.find("Entries converted from Address Book: " + book + "\r\n"), std::string::npos);
  EXPECT_EQ(QString::fromStdString(window().Status()),
            "Done.  1 Nicknames converted to:\n" + folder + QString::fromUtf8("/caf\xC3\xA9.htm"));
  EXPECT_EQ(test::ReadBytes(settings_.File("veltra.ini")), "AddressBook=" + book + "\r\n");
  QTest::mouseClick(View(), Qt::LeftButton);
  QDesktopServices::unsetUrlHandler("file");
  ASSERT_EQ(recorder.urls.size(), 1);
  EXPECT_TRUE(recorder.urls[0].toEncoded().endsWith("/caf%E9.htm"))
      << recorder.urls[0].toEncoded().toStdString();

  std::filesystem::remove(books_.File("caf\xE9.htm"));
  qt_->Close();
  Open();
  ASSERT_EQ(Field()->count(), 1);
  EXPECT_EQ(Field()->itemText(0), shown);
  EXPECT_EQ(Field()->currentText(), shown);
  QTest::mouseClick(Convert(), Qt::LeftButton);
  ExpectButtons(true, true, true);
  EXPECT_EQ(test::ReadBytes(books_.File("caf\xE9.htm")), page);
}

TEST_F(FrmMainTest, AltKeysPressTheButtons) {
  Open();
  TypeKeys(QString::fromStdString(Book("k.txt", "alias a b\r\n")));
  QSignalSpy converted(Convert(), &QPushButton::clicked);
  QTest::keyClick(&Window(), Qt::Key_C, Qt::AltModifier);
  EXPECT_TRUE(QTest::qWaitFor([&] { return converted.count() == 1; }, 2000));
  EXPECT_TRUE(View()->isEnabled());

  test::UrlRecorder recorder;
  QDesktopServices::setUrlHandler("file", &recorder, "open");
  QSignalSpy viewed(View(), &QPushButton::clicked);
  QTest::keyClick(&Window(), Qt::Key_V, Qt::AltModifier);
  EXPECT_TRUE(QTest::qWaitFor([&] { return viewed.count() == 1; }, 2000));
  QDesktopServices::unsetUrlHandler("file");
  EXPECT_EQ(recorder.urls.size(), 1);

  window().AnswerBrowse(std::nullopt);
  QSignalSpy browsed(Browse(), &QPushButton::clicked);
  QTest::keyClick(&Window(), Qt::Key_B, Qt::AltModifier);
  EXPECT_TRUE(QTest::qWaitFor([&] { return browsed.count() == 1; }, 2000));
  EXPECT_EQ(qt_->dialogs().browse_shown, 1);

  window().AnswerExport(std::nullopt);
  QSignalSpy exported(Export(), &QPushButton::clicked);
  QTest::keyClick(&Window(), Qt::Key_E, Qt::AltModifier);
  EXPECT_TRUE(QTest::qWaitFor([&] { return exported.count() == 1; }, 2000));
  EXPECT_EQ(window().ExportDialogs().size(), 1u);
}

TEST_F(FrmMainTest, TypingChangesNeitherHistoryNorView) {
  Open("AddressBook=A\r\n");
  TypeKeys("something else.txt");
  EXPECT_EQ(Field()->count(), 1);
  EXPECT_FALSE(View()->isEnabled());
  EXPECT_EQ(Window().history().entries().size(), 1u);
}

TEST_F(FrmMainTest, ClosingTheWindowDuringARunLeavesNoHalfPage) {
  Open();
  std::string book;
  for (int i = 0; i < 50; ++i) book += "alias n" + std::to_string(i) + " x@y\r\n";
  window().Type(Book("big.txt", book));
  QTimer::singleShot(0, &Window(), [this] { Window().close(); });
  QTest::mouseClick(Convert(), Qt::LeftButton);
  EXPECT_FALSE(Window().isVisible());
  EXPECT_FALSE(test::Exists(books_.File("big.htm")));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(books_.path()),
                          std::filesystem::directory_iterator()),
            1);
  EXPECT_FALSE(test::Exists(settings_.File("veltra.ini")));
}

// Closing is put off during an export as during a conversion: the export
// ends at its next event pump, leaves no file, and the window closes then.
TEST_F(FrmMainTest, ClosingTheWindowDuringAnExportLeavesNoFile) {
  Open();
  std::string book;
  for (int i = 0; i < 120; ++i) book += "alias n" + std::to_string(i) + " x@y\r\n";
  window().Type(Book("big.txt", book));
  window().AnswerExport(test::ExportChoice{books_.File("big.vcf"), 0, false});
  QTimer::singleShot(0, &Window(), [this] { Window().close(); });
  QTest::mouseClick(Export(), Qt::LeftButton);
  EXPECT_FALSE(Window().isVisible());
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(books_.path()),
                          std::filesystem::directory_iterator()),
            1);
  EXPECT_FALSE(test::Exists(settings_.File("veltra.ini")));
}

// The real Save dialog: its types, the suggestion, the check box, the
// ending that follows the type, and what it answers.
TEST(ExportDialog, OffersTheTypesTheSuggestionAndTheCheckBox) {
  test::TempDir dir;
  ExportDialogRequest request;
  request.suggested_text = dir.File("nndbase.vcf");
  request.suggested = request.suggested_text;
  request.offers_whole_folder = true;
  const std::unique_ptr<QFileDialog> dialog = MakeExportDialog(nullptr, request);
  EXPECT_EQ(dialog->windowTitle(), "Export Address Book");
  EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
  ASSERT_EQ(dialog->nameFilters().size(), 6);
  EXPECT_TRUE(dialog->nameFilters().at(0).startsWith("vCard 3.0"));
  EXPECT_TRUE(dialog->nameFilters().at(0).endsWith("(*.vcf)"));
  EXPECT_TRUE(dialog->nameFilters().at(1).startsWith("vCard 4.0"));
  EXPECT_TRUE(dialog->nameFilters().at(2).endsWith("(*.csv)"));
  EXPECT_TRUE(dialog->nameFilters().at(3).endsWith("(*.ldif)"));
  EXPECT_TRUE(dialog->nameFilters().at(4).contains("mutt"));
  EXPECT_EQ(dialog->nameFilters().at(5), "Web page for today (*.html)");
  EXPECT_EQ(dialog->selectedNameFilter(), dialog->nameFilters().at(0));
  EXPECT_EQ(dialog->directory().absolutePath(), QString::fromStdString(dir.path().string()));
  auto* check_box = dialog->findChild<QCheckBox*>("wholeFolder");
  ASSERT_NE(check_box, nullptr);
  EXPECT_EQ(check_box->text(), "Include the other address books in this folder");
  EXPECT_TRUE(check_box->isChecked());

  dialog->show();
  auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(name->text(), "nndbase.vcf");
  auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
  ASSERT_NE(types, nullptr);
  QTest::keyClick(types, Qt::Key_Down);  // as the user picks CSV, two down
  QTest::keyClick(types, Qt::Key_Down);
  ASSERT_EQ(types->currentIndex(), 2);
  EXPECT_EQ(name->text(), "nndbase.csv");
  for (int i = 0; i < 3; ++i) QTest::keyClick(types, Qt::Key_Down);  // the page of today
  ASSERT_EQ(types->currentIndex(), 5);
  EXPECT_EQ(name->text(), "nndbase.html");
  for (int i = 0; i < 3; ++i) QTest::keyClick(types, Qt::Key_Up);
  ASSERT_EQ(types->currentIndex(), 2);
  EXPECT_EQ(name->text(), "nndbase.csv");
  check_box->setChecked(false);
  name->setText("mine");
  QTest::keyClick(name, Qt::Key_Return);
  ASSERT_EQ(dialog->result(), QDialog::Accepted);
  const ExportDialogAnswer answer = ExportAnswerOf(*dialog);
  EXPECT_EQ(answer.text, dir.File("mine.csv"));
  EXPECT_EQ(answer.type, 2u);
  EXPECT_FALSE(answer.whole_folder);

  request.offers_whole_folder = false;
  EXPECT_EQ(MakeExportDialog(nullptr, request)->findChild<QCheckBox*>("wholeFolder"), nullptr);
}

TEST(OpenAddressBookDialog, IsTitledAndFilteredAndAddsTxt) {
  test::TempDir dir;
  test::WriteBytes(dir.File("book.txt"), "x");
  test::WriteBytes(dir.File("noext"), "x");
  const std::unique_ptr<QFileDialog> dialog = MakeOpenAddressBookDialog(nullptr);
  EXPECT_EQ(dialog->windowTitle(), "Open Address Book");
  EXPECT_EQ(dialog->defaultSuffix(), "txt");
  // What the user sees of the filters; the first is preselected.
  auto* filter_box = dialog->findChild<QComboBox*>("fileTypeCombo");
  ASSERT_NE(filter_box, nullptr);
  EXPECT_EQ(filter_box->currentIndex(), 0);
  ASSERT_EQ(filter_box->count(), 2);
  EXPECT_EQ(filter_box->itemText(0), "Address Books (*.txt)");
  EXPECT_EQ(filter_box->itemText(1), "All Files (*.*)");
  // "All Files" shows a file without a dot.
  EXPECT_TRUE(QDir::match(QStringList{"*"}, "noext"));
  EXPECT_TRUE(dialog->nameFilters().at(1).endsWith("(*)"));
  // A name typed without an extension comes back with ".txt".
  dialog->setDirectory(QString::fromStdString(dir.path().string()));
  dialog->show();
  auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
  ASSERT_NE(name, nullptr);
  name->setText("book");
  QTest::keyClick(name, Qt::Key_Return);
  ASSERT_EQ(dialog->selectedFiles().size(), 1);
  EXPECT_EQ(dialog->selectedFiles().at(0), QString::fromStdString(dir.File("book.txt")));
}

}  // namespace
}  // namespace veltrana
