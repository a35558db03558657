// The real window, driven headless: real clicks, real typing, real labels.
#include "ui/frm_main.h"

#include <gtest/gtest.h>

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

#include "support/temp_dir.h"
#include "ui/fake_dialogs.h"
#include "ui/module1.h"
#include "ui/url_recorder.h"

// Readable QStrings in gtest's messages.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << text.toStdString();
}

namespace veltrana {
namespace {

class FrmMainTest : public ::testing::Test {
 protected:
  // Opens the window as the program does, with `ini` as its settings file
  // (none when empty).
  void Open(const std::optional<std::string>& ini = std::nullopt) {
    if (ini) testing::WriteBytes(settings_.File("veltra.ini"), *ini);
    frmMain::Options options;
    options.settings = {settings_.path(), true};
    options.dialogs = std::make_unique<testing::FakeDialogs>(log_);
    options.date = CalendarDate{2026, 12, 7};
    window_ = std::make_unique<frmMain>(std::move(options));
    window_->show();
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  }

  template <typename T>
  T* Control(const char* name) {
    T* control = window_->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
  }
  QPushButton* Convert() { return Control<QPushButton>("cmdConvert"); }
  QPushButton* Browse() { return Control<QPushButton>("cmdOpen"); }
  QPushButton* View() { return Control<QPushButton>("cmdView"); }
  QComboBox* Field() { return Control<QComboBox>("cbxAddressBook"); }
  QString Status() { return Control<QLabel>("lblStatusText")->text(); }
  // The window's focused control: the one that has the focus whenever the
  // window is active (right after a message box closes, it is not yet).
  QString Focused() { return window_->focusWidget() ? window_->focusWidget()->objectName() : ""; }

  // Replaces the field's text by typing, as a person does. Key clicks carry
  // ASCII only; other characters arrive as an input method commits them.
  void Type(const QString& text) {
    Field()->lineEdit()->selectAll();
    QTest::keyClick(Field(), Qt::Key_Delete);
    bool ascii = true;
    for (const QChar c : text) ascii = ascii && c.unicode() < 0x80;
    if (ascii) {
      QTest::keyClicks(Field(), text);
    } else {
      QInputMethodEvent typed;
      typed.setCommitString(text);
      QCoreApplication::sendEvent(Field()->lineEdit(), &typed);
    }
  }

  std::string Book(const std::string& name, const std::string& content) {
    testing::WriteBytes(books_.File(name), content);
    return books_.File(name);
  }

  void ExpectButtons(bool convert, bool browse, bool view) {
    EXPECT_EQ(Convert()->isEnabled(), convert);
    EXPECT_EQ(Browse()->isEnabled(), browse);
    EXPECT_EQ(View()->isEnabled(), view);
  }

  testing::TempDir settings_;
  testing::TempDir books_;
  testing::DialogLog log_;
  std::unique_ptr<frmMain> window_;
};

TEST_F(FrmMainTest, FirstStartWithoutSettings) {
  Open();
  EXPECT_EQ(window_->windowTitle(), "Veltrana");
  EXPECT_EQ(Field()->currentText(), "c:\\eudora\\nndbase.txt");
  EXPECT_EQ(Field()->count(), 0);
  EXPECT_EQ(Status(), "");
  ExpectButtons(true, true, false);
  EXPECT_EQ(Focused(), "cmdConvert");
  EXPECT_TRUE(log_.messages.isEmpty());
  EXPECT_EQ(window_->state().pagetitle, "Email Addresses");
}

TEST_F(FrmMainTest, ControlsCaptionsPlacesAndTabOrder) {
  Open();
  EXPECT_EQ(Convert()->text(), "&Convert");
  EXPECT_EQ(Browse()->text(), "&Browse");
  EXPECT_EQ(View()->text(), "&View");
  EXPECT_EQ(Control<QLabel>("Label1")->text(), "Address Book:");
  EXPECT_EQ(Control<QLabel>("lblStatus")->text(), "Status:");
  EXPECT_TRUE(Field()->isEditable());
  // Twips at 15 a pixel, scaled with the screen.
  const double scale = window_->logicalDpiX() / 96.0 / 15;
  const auto px = [scale](int twips) { return qRound(twips * scale); };
  EXPECT_EQ(window_->size(), QSize(px(7380), px(1575)));
  EXPECT_EQ(Field()->geometry(), QRect(px(1440), px(120), px(4575), px(315)));
  EXPECT_EQ(Convert()->geometry(), QRect(px(6120), px(120), px(975), px(375)));
  EXPECT_EQ(Browse()->geometry(), QRect(px(6120), px(600), px(975), px(375)));
  EXPECT_EQ(View()->geometry(), QRect(px(6120), px(1080), px(975), px(375)));
  EXPECT_EQ(Control<QLabel>("lblStatusText")->geometry(),
            QRect(px(1440), px(600), px(4575), px(495)));
  // Captions end 105 twips before the controls they name, and are not clipped.
  for (const char* name : {"Label1", "lblStatus"}) {
    QLabel* caption = Control<QLabel>(name);
    EXPECT_EQ(caption->geometry().right() + 1, px(1335)) << name;
    EXPECT_GE(caption->width(), caption->sizeHint().width()) << name;
  }
  // Tab: Convert, Browse, View, the field (View must be enabled to take it).
  View()->setEnabled(true);
  const char* order[] = {"cmdOpen", "cmdView", "cbxAddressBook", "cmdConvert"};
  for (const char* next : order) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(Focused(), next);
  }
}

TEST_F(FrmMainTest, StartWithSettingsListsTheHistoryAndReadsReady) {
  Open("AddressBook=A\r\nAddressBook=C\r\nAddressBook=B\r\n");
  EXPECT_EQ(Status(), "Ready");
  ASSERT_EQ(Field()->count(), 3);
  EXPECT_EQ(Field()->itemText(0), "A");
  EXPECT_EQ(Field()->itemText(1), "C");
  EXPECT_EQ(Field()->itemText(2), "B");
  EXPECT_EQ(Field()->currentText(), "B");
  EXPECT_EQ(Focused(), "cmdConvert");
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(settings_.path()));
}

TEST_F(FrmMainTest, AFailedSettingsReadLeavesTheFieldEmpty) {
  const std::filesystem::path too_long = settings_.path() / std::string(5000, 'x');
  frmMain::Options options;
  options.settings = {too_long, true};
  options.dialogs = std::make_unique<testing::FakeDialogs>(log_);
  window_ = std::make_unique<frmMain>(std::move(options));
  window_->show();
  ASSERT_EQ(log_.messages.size(), 1);
  EXPECT_TRUE(
      log_.messages[0].startsWith("0 Veltrana: Error  64: Bad file name\nProcedure: Form_Load()"))
      << log_.messages[0].toStdString();
  EXPECT_EQ(Field()->currentText(), "");
  EXPECT_EQ(Status(), "");
}

TEST_F(FrmMainTest, ASuccessfulRunEnablesViewAndRemembersTheBook) {
  Open();
  const std::string book = Book("friends.txt", "alias bob b@h\r\nalias ann a@h\r\n");
  Type(QString::fromStdString(book));
  QTest::mouseClick(Convert(), Qt::LeftButton);
  EXPECT_EQ(Status(), QString::fromStdString("Done.  2 Nicknames converted to:\n" +
                                             books_.File("friends.htm")));
  ExpectButtons(true, true, true);
  EXPECT_EQ(Focused(), "cmdView");
  EXPECT_TRUE(testing::Exists(books_.File("friends.htm")));
  ASSERT_EQ(Field()->count(), 1);
  EXPECT_EQ(Field()->itemText(0).toStdString(), book);
  EXPECT_EQ(Field()->currentText().toStdString(), book);
  EXPECT_EQ(testing::ReadBytes(settings_.File("veltra.ini")), "AddressBook=" + book + "\r\n");
  EXPECT_EQ(Module1::htmlfile, books_.File("friends.htm"));
  EXPECT_TRUE(log_.messages.isEmpty());
}

// In the user's settings folder the window keeps the working directory it
// was started in: a book named without a folder is looked up there, as in
// any other program, and the folder is made by the first settings write.
TEST_F(FrmMainTest, SettingsInTheUsersFolderLeaveTheWorkingDirectoryAlone) {
  const std::filesystem::path user_folder = settings_.path() / "config" / "veltrana";
  std::filesystem::current_path(books_.path());
  frmMain::Options options;
  options.settings = {user_folder, false, true};
  options.dialogs = std::make_unique<testing::FakeDialogs>(log_);
  window_ = std::make_unique<frmMain>(std::move(options));
  window_->show();
  EXPECT_FALSE(testing::Exists(user_folder));
  Book("near.txt", "alias a b\r\n");
  Type("near.txt");
  QTest::mouseClick(Convert(), Qt::LeftButton);
  const std::filesystem::path working = std::filesystem::current_path();
  std::filesystem::current_path(std::filesystem::temp_directory_path());
  EXPECT_EQ(working, std::filesystem::canonical(books_.path()));
  EXPECT_TRUE(View()->isEnabled());
  EXPECT_TRUE(testing::Exists(books_.File("near.htm")));
  EXPECT_EQ(testing::ReadBytes(user_folder / "veltra.ini"), "AddressBook=near.txt\r\n");
  EXPECT_TRUE(log_.messages.isEmpty());
}

TEST_F(FrmMainTest, EmptyNameAsksForOne) {
  Open();
  Type("");
  QTest::mouseClick(Convert(), Qt::LeftButton);
  ASSERT_EQ(log_.messages.size(), 1);
  EXPECT_EQ(log_.messages[0], "16 Veltrana: Must enter name of Address Book file to convert");
  EXPECT_EQ(Status(), "Invalid Address Book filename");
  ExpectButtons(true, true, false);
}

TEST_F(FrmMainTest, MissingFileSelectsTheFieldTextAndFocusesBrowse) {
  Open();
  const QString missing = QString::fromStdString(books_.File("missing.txt"));
  Type(missing);
  QTest::mouseClick(Convert(), Qt::LeftButton);
  QCoreApplication::processEvents();  // the keystrokes were posted
  ASSERT_EQ(log_.messages.size(), 1);
  EXPECT_EQ(log_.modal_loops, 1) << "the message box was not up as a real one is";
  EXPECT_EQ(log_.messages[0],
            "16 Veltrana: Specified Address Book does not exist.\nFilename: " + missing);
  EXPECT_EQ(Status(), "Invalid Address Book filename");
  EXPECT_EQ(Focused(), "cmdOpen");
  EXPECT_EQ(Field()->lineEdit()->selectedText(), missing);
  ExpectButtons(true, true, false);
  EXPECT_EQ(Field()->count(), 0);
}

TEST_F(FrmMainTest, AFailingRunShowsTheErrorReport) {
  Open();
  Type(QString::fromStdString(Book("bad.txt", "alias lonely\r\n")));
  QTest::mouseClick(Convert(), Qt::LeftButton);
  ASSERT_EQ(log_.messages.size(), 1);
  EXPECT_EQ(
      log_.messages[0],
      "0 Veltrana: Error  5: Invalid procedure call or argument\nProcedure: ExtractNickname()");
  ExpectButtons(true, true, false);
  EXPECT_EQ(Status(), "Working...");
  EXPECT_FALSE(testing::Exists(books_.File("bad.htm")));
  EXPECT_FALSE(testing::Exists(settings_.File("veltra.ini")));
}

TEST_F(FrmMainTest, BrowsePickFillsTheFieldAndCancelRestoresTheButtons) {
  Open();
  Type(QString::fromStdString(Book("a.txt", "alias a b\r\n")));
  QTest::mouseClick(Convert(), Qt::LeftButton);
  ASSERT_TRUE(View()->isEnabled());

  log_.browse_answer = "/chosen/book.txt";
  QTest::mouseClick(Browse(), Qt::LeftButton);
  EXPECT_EQ(log_.browse_shown, 1);
  EXPECT_EQ(Field()->currentText(), "/chosen/book.txt");
  EXPECT_EQ(Status(), "Ready");
  ExpectButtons(true, true, false);
  EXPECT_EQ(Focused(), "cmdConvert");
  EXPECT_EQ(Field()->count(), 1) << "a pick is not added to the history";

  Type("typed.txt");
  View()->setEnabled(true);  // as after another run
  log_.browse_answer.reset();
  QTest::mouseClick(Browse(), Qt::LeftButton);
  EXPECT_EQ(Field()->currentText(), "typed.txt");
  EXPECT_EQ(Status(), "Ready");
  ExpectButtons(true, true, false);
  EXPECT_TRUE(log_.messages.isEmpty());
}

TEST_F(FrmMainTest, ViewOpensThePageEachTimeItIsPressed) {
  testing::UrlRecorder recorder;
  QDesktopServices::setUrlHandler("file", &recorder, "open");
  Open();
  Type(QString::fromStdString(Book("v.txt", "alias a b\r\n")));
  QTest::mouseClick(Convert(), Qt::LeftButton);
  QTest::mouseClick(View(), Qt::LeftButton);
  QTest::mouseClick(View(), Qt::LeftButton);
  QDesktopServices::unsetUrlHandler("file");
  ASSERT_EQ(recorder.urls.size(), 2);
  EXPECT_EQ(recorder.urls[0], QUrl::fromLocalFile(QString::fromStdString(books_.File("v.htm"))));
  EXPECT_EQ(recorder.urls[1], recorder.urls[0]);
}

// A book named in Latin-1 bytes, as in an old Windows folder: typed as the
// window shows it, it converts under its own bytes, is remembered as those
// bytes, and converts again from the history at the next start.
TEST_F(FrmMainTest, ABookNamedInLatin1ConvertsAndComesBackFromTheHistory) {
  testing::UrlRecorder recorder;
  QDesktopServices::setUrlHandler("file", &recorder, "open");
  const std::string book = Book("caf\xE9.txt", "alias a b\r\n");
  const QString folder = QString::fromStdString(books_.path().string());
  const QString shown = folder + QString::fromUtf8("/caf\xC3\xA9.txt");
  Open();
  Type(shown);
  QTest::mouseClick(Convert(), Qt::LeftButton);
  ExpectButtons(true, true, true);
  const std::string page = testing::ReadBytes(books_.File("caf\xE9.htm"));
  EXPECT_NE(page.find("Entries converted from Address Book: " + book + "\r\n"), std::string::npos);
  EXPECT_EQ(Status(),
            "Done.  1 Nicknames converted to:\n" + folder + QString::fromUtf8("/caf\xC3\xA9.htm"));
  EXPECT_EQ(testing::ReadBytes(settings_.File("veltra.ini")), "AddressBook=" + book + "\r\n");
  QTest::mouseClick(View(), Qt::LeftButton);
  QDesktopServices::unsetUrlHandler("file");
  ASSERT_EQ(recorder.urls.size(), 1);
  EXPECT_TRUE(recorder.urls[0].toEncoded().endsWith("/caf%E9.htm"))
      << recorder.urls[0].toEncoded().toStdString();

  std::filesystem::remove(books_.File("caf\xE9.htm"));
  window_.reset();
  Open();
  ASSERT_EQ(Field()->count(), 1);
  EXPECT_EQ(Field()->itemText(0), shown);
  EXPECT_EQ(Field()->currentText(), shown);
  QTest::mouseClick(Convert(), Qt::LeftButton);
  ExpectButtons(true, true, true);
  EXPECT_EQ(testing::ReadBytes(books_.File("caf\xE9.htm")), page);
}

TEST_F(FrmMainTest, AltKeysPressTheButtons) {
  Open();
  Type(QString::fromStdString(Book("k.txt", "alias a b\r\n")));
  QSignalSpy converted(Convert(), &QPushButton::clicked);
  QTest::keyClick(window_.get(), Qt::Key_C, Qt::AltModifier);
  EXPECT_TRUE(QTest::qWaitFor([&] { return converted.count() == 1; }, 2000));
  EXPECT_TRUE(View()->isEnabled());

  testing::UrlRecorder recorder;
  QDesktopServices::setUrlHandler("file", &recorder, "open");
  QSignalSpy viewed(View(), &QPushButton::clicked);
  QTest::keyClick(window_.get(), Qt::Key_V, Qt::AltModifier);
  EXPECT_TRUE(QTest::qWaitFor([&] { return viewed.count() == 1; }, 2000));
  QDesktopServices::unsetUrlHandler("file");
  EXPECT_EQ(recorder.urls.size(), 1);

  log_.browse_answer.reset();
  QSignalSpy browsed(Browse(), &QPushButton::clicked);
  QTest::keyClick(window_.get(), Qt::Key_B, Qt::AltModifier);
  EXPECT_TRUE(QTest::qWaitFor([&] { return browsed.count() == 1; }, 2000));
  EXPECT_EQ(log_.browse_shown, 1);
}

TEST_F(FrmMainTest, TypingChangesNeitherHistoryNorView) {
  Open("AddressBook=A\r\n");
  Type("something else.txt");
  EXPECT_EQ(Field()->count(), 1);
  EXPECT_FALSE(View()->isEnabled());
  EXPECT_EQ(window_->history().entries().size(), 1u);
}

TEST_F(FrmMainTest, ClosingTheWindowDuringARunLeavesNoHalfPage) {
  Open();
  std::string book;
  for (int i = 0; i < 50; ++i) book += "alias n" + std::to_string(i) + " x@y\r\n";
  Type(QString::fromStdString(Book("big.txt", book)));
  QTimer::singleShot(0, window_.get(), [this] { window_->close(); });
  QTest::mouseClick(Convert(), Qt::LeftButton);
  EXPECT_FALSE(window_->isVisible());
  EXPECT_FALSE(testing::Exists(books_.File("big.htm")));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(books_.path()),
                          std::filesystem::directory_iterator()),
            1);
  EXPECT_FALSE(testing::Exists(settings_.File("veltra.ini")));
}

TEST(OpenAddressBookDialog, IsTitledAndFilteredAndAddsTxt) {
  testing::TempDir dir;
  testing::WriteBytes(dir.File("book.txt"), "x");
  testing::WriteBytes(dir.File("noext"), "x");
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
