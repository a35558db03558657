// The main window's states, one case per row of its state table, run
// against every window through a WindowDriver. A test file includes this
// and instantiates the cases for its fixture:
//
//   VELTRANA_WINDOW_CASES(MyWindowTest)
//
// where MyWindowTest derives from WindowCaseTest and sets `driver_`.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "form/window_driver.h"
#include "support/temp_dir.h"

namespace veltrana::test {

class WindowCaseTest : public ::testing::Test {
 public:
  WindowDriver& window() { return *driver_; }
  std::string Book(const std::string& name, const std::string& content) {
    WriteBytes(books_.path() / name, content);
    return books_.File(name);
  }
  void ExpectButtons(bool convert, bool browse, bool view) {
    EXPECT_EQ(window().Enabled("Convert"), convert);
    EXPECT_EQ(window().Enabled("Browse"), browse);
    EXPECT_EQ(window().Enabled("View"), view);
  }
  void ExpectButtons(bool convert, bool browse, bool view, bool exporting) {
    ExpectButtons(convert, browse, view);
    EXPECT_EQ(window().Enabled("Export"), exporting);
  }

  TempDir settings_;
  TempDir books_;
  std::unique_ptr<WindowDriver> driver_;
};

namespace window_cases {

inline void FirstStartWithoutSettings(WindowCaseTest& t, WindowDriver& w) {
  w.Open(t.settings_.path(), std::nullopt);
  EXPECT_EQ(w.Field(), "c:\\eudora\\nndbase.txt");
  EXPECT_TRUE(w.History().empty());
  EXPECT_EQ(w.Status(), "");
  t.ExpectButtons(true, true, false);
  EXPECT_EQ(w.Focus(), "Convert");
  EXPECT_TRUE(w.Messages().empty());
}

inline void StartWithSettings(WindowCaseTest& t, WindowDriver& w) {
  w.Open(t.settings_.path(), "AddressBook=A\r\nAddressBook=C\r\nAddressBook=B\r\n");
  EXPECT_EQ(w.History(), (std::vector<std::string>{"A", "C", "B"}));
  EXPECT_EQ(w.Field(), "B");
  EXPECT_EQ(w.Status(), "Ready");
  t.ExpectButtons(true, true, false);
  EXPECT_EQ(w.Focus(), "Convert");
}

// A settings read that fails otherwise than "no file" (a folder name the
// system refuses): the report, an empty field, and no "Ready".
inline void AFailedSettingsRead(WindowCaseTest& t, WindowDriver& w) {
#if defined(_WIN32)
  const std::filesystem::path refused = t.settings_.path() / "bad?name";
#else
  const std::filesystem::path refused = t.settings_.path() / std::string(5000, 'x');
#endif
  w.Open(refused, std::nullopt);
  EXPECT_EQ(w.Messages(), std::vector<std::string>{
                              "0 Veltrana: Error  64: Bad file name\nProcedure: Form_Load()"});
  EXPECT_EQ(w.Field(), "");
  EXPECT_EQ(w.Status(), "");
  t.ExpectButtons(true, true, false);
  EXPECT_EQ(w.Focus(), "Convert");
}

inline void ARunThatReachesItsEnd(WindowCaseTest& t, WindowDriver& w) {
  w.Open(t.settings_.path(), std::nullopt);
  const std::string book = t.Book("friends.txt", "alias bob b@h\r\nalias ann a@h\r\n");
  w.Type(book);
  w.Click("Convert");
  EXPECT_EQ(w.Status(), "Done.  2 Nicknames converted to:\n" + t.books_.File("friends.htm"));
  t.ExpectButtons(true, true, true);
  EXPECT_EQ(w.Focus(), "View");
  EXPECT_EQ(w.History(), std::vector<std::string>{book});
  EXPECT_EQ(ReadBytes(t.settings_.path() / "veltra.ini"), "AddressBook=" + book + "\r\n");
  EXPECT_NE(ReadBytes(t.books_.path() / "friends.htm").find("<td><b>ann</b><br>"),
            std::string::npos);
  w.Click("View");
  w.Click("View");
  EXPECT_EQ(w.Viewed().size(), 2u);
  EXPECT_TRUE(w.Messages().empty());
}

// View opens the page of this window's last run that reached its end: the
// first book's page, then, once the second book is converted, its page;
// never the page of a run that failed after it opened its book.
inline void ViewOpensThePageOfTheLastRun(WindowCaseTest& t, WindowDriver& w) {
  w.Open(t.settings_.path(), std::nullopt);
  w.Type(t.Book("first.txt", "alias a b\r\n"));
  w.Click("Convert");
  w.Click("View");
  w.Type(t.Book("broken.txt", "alias lonely\r\n"));
  w.Click("Convert");
  EXPECT_FALSE(w.Enabled("View"));
  w.Type(t.Book("second.txt", "alias c d\r\n"));
  w.Click("Convert");
  w.Click("View");
  EXPECT_EQ(w.Viewed(), (std::vector<std::filesystem::path>{t.books_.path() / "first.htm",
                                                            t.books_.path() / "second.htm"}));
}

// An empty field and a missing book, as Convert and Export both answer
// them, Export before any dialog.
inline void EmptyNameAnsweredBy(const std::string& button, WindowCaseTest& t, WindowDriver& w) {
  w.Open(t.settings_.path(), std::nullopt);
  w.Type("");
  w.Click(button);
  EXPECT_EQ(w.Messages(), std::vector<std::string>{
                              "16 Veltrana: Must enter name of Address Book file to convert"});
  EXPECT_EQ(w.Status(), "Invalid Address Book filename");
  t.ExpectButtons(true, true, false, true);
  EXPECT_TRUE(w.ExportDialogs().empty());
}

inline void MissingBookAnsweredBy(const std::string& button, WindowCaseTest& t, WindowDriver& w) {
  w.Open(t.settings_.path(), std::nullopt);
  const std::string missing = t.books_.File("missing.txt");
  w.Type(missing);
  w.Click(button);
  EXPECT_EQ(w.Messages(),
            std::vector<std::string>{
                "16 Veltrana: Specified Address Book does not exist.\nFilename: " + missing});
  EXPECT_EQ(w.Status(), "Invalid Address Book filename");
  EXPECT_EQ(w.Focus(), "Browse");
  EXPECT_EQ(w.SelectedFieldText(), missing);
  t.ExpectButtons(true, true, false, true);
  EXPECT_TRUE(w.History().empty());
  EXPECT_TRUE(w.ExportDialogs().empty());
}

inline void AnEmptyName(WindowCaseTest& t, WindowDriver& w) {
  EmptyNameAnsweredBy("Convert", t, w);
}
inline void AMissingFile(WindowCaseTest& t, WindowDriver& w) {
  MissingBookAnsweredBy("Convert", t, w);
}
inline void ExportAnEmptyName(WindowCaseTest& t, WindowDriver& w) {
  EmptyNameAnsweredBy("Export", t, w);
}
inline void ExportAMissingBook(WindowCaseTest& t, WindowDriver& w) {
  MissingBookAnsweredBy("Export", t, w);
}

inline void AFailingRun(WindowCaseTest& t, WindowDriver& w) {
  w.Open(t.settings_.path(), std::nullopt);
  w.Type(t.Book("bad.txt", "alias lonely\r\n"));
  w.Click("Convert");
  EXPECT_EQ(w.Messages(),
            std::vector<std::string>{"0 Veltrana: Error  5: Invalid procedure call or argument\n"
                                     "Procedure: ExtractNickname()"});
  EXPECT_EQ(w.Status(), "Working...");
  t.ExpectButtons(true, true, false);
  EXPECT_FALSE(Exists(t.books_.path() / "bad.htm"));
  EXPECT_FALSE(Exists(t.settings_.path() / "veltra.ini"));
}

inline void BrowseChosenAndCancelled(WindowCaseTest& t, WindowDriver& w) {
  w.Open(t.settings_.path(), std::nullopt);
  w.Type(t.Book("a.txt", "alias a b\r\n"));
  w.Click("Convert");
  ASSERT_TRUE(w.Enabled("View"));
  const std::string chosen = t.Book("chosen.txt", "alias c d\r\n");
  w.AnswerBrowse(chosen);
  w.Click("Browse");
  EXPECT_EQ(w.Field(), chosen);
  EXPECT_EQ(w.Status(), "Ready");
  t.ExpectButtons(true, true, false);
  EXPECT_EQ(w.Focus(), "Convert");
  EXPECT_EQ(w.History().size(), 1u) << "a pick is not remembered";

  w.Click("Convert");
  ASSERT_TRUE(w.Enabled("View"));
  w.AnswerBrowse(std::nullopt);
  w.Click("Browse");
  EXPECT_EQ(w.Field(), chosen);
  EXPECT_EQ(w.Status(), "Done.  1 Nicknames converted to:\n" + t.books_.File("chosen.htm"));
  t.ExpectButtons(true, true, false);
  EXPECT_TRUE(w.Messages().empty());
}

// A Browse whose dialog fails otherwise than by a cancel is reported, and
// the window goes on as before.
inline void ABrowseThatFails(WindowCaseTest& t, WindowDriver& w) {
  w.Open(t.settings_.path(), std::nullopt);
  const std::string book = t.Book("a.txt", "alias a b\r\n");
  w.Type(book);
  w.FailBrowse();
  w.Click("Browse");
  EXPECT_EQ(w.Messages(), std::vector<std::string>{"0 Veltrana: Error  51: Internal error\n"
                                                   "Procedure: cmdOpen_Click()"});
  t.ExpectButtons(true, true, false, true);
  EXPECT_EQ(w.Field(), book);
  w.Click("Convert");
  EXPECT_TRUE(w.Enabled("View"));
}

// Cancelled, the Save dialog changes nothing; chosen, the file is written
// in the chosen type, the book joins the history, and View keeps the page.
inline void ExportChosenAndCancelled(WindowCaseTest& t, WindowDriver& w) {
  w.Open(t.settings_.path(), std::nullopt);
  const std::string book = t.Book("friends.txt", "alias bob b@h\r\nalias ann a@h\r\n");
  w.Type(book);
  w.Click("Convert");
  const std::string done = "Done.  2 Nicknames converted to:\n" + t.books_.File("friends.htm");
  ASSERT_EQ(w.Status(), done);
  std::filesystem::remove(t.settings_.path() / "veltra.ini");

  w.AnswerExport(std::nullopt);
  w.Click("Export");
  EXPECT_EQ(w.ExportDialogs(), std::vector<std::string>{t.books_.File("friends.vcf")});
  EXPECT_EQ(w.Status(), done);
  t.ExpectButtons(true, true, true, true);
  EXPECT_EQ(w.Focus(), "Export");
  EXPECT_FALSE(Exists(t.books_.path() / "friends.vcf"));
  EXPECT_FALSE(Exists(t.settings_.path() / "veltra.ini"));

  const std::string target = t.books_.File("for outlook.csv");
  w.AnswerExport(ExportChoice{target, 2, false});
  w.Click("Export");
  EXPECT_EQ(w.Status(), "Exported 2 contacts and 0 lists to:\n" + target);
  t.ExpectButtons(true, true, true, true);
  EXPECT_EQ(w.Focus(), "Export");
  EXPECT_EQ(ReadBytes(t.books_.path() / "for outlook.csv")
                .rfind("\xEF\xBB\xBF"
                       "First Name,",
                       0),
            0u);
  EXPECT_EQ(w.History(), std::vector<std::string>{book});
  EXPECT_EQ(ReadBytes(t.settings_.path() / "veltra.ini"), "AddressBook=" + book + "\r\n");
  EXPECT_TRUE(w.Messages().empty());

  w.AnswerExport(ExportChoice{t.books_.File("cards.vcf"), 1, false});
  w.Click("Export");
  EXPECT_NE(ReadBytes(t.books_.path() / "cards.vcf").find("VERSION:4.0\r\n"), std::string::npos);
  EXPECT_EQ(w.History(), std::vector<std::string>{book}) << "no duplicate";
}

// The Save dialog's "Web page for today" writes the page of today: UTF-8,
// escaped, lists linking their members; the documented page is left alone.
inline void ExportAWebPageForToday(WindowCaseTest& t, WindowDriver& w) {
  w.Open(t.settings_.path(), std::nullopt);
  const std::string book =
      t.Book("friends.txt", "alias zoe Zo\xEB & Co <z@h>\r\nalias ann a@h\r\nalias team zoe, ann\r\n");
  w.Type(book);
  w.Click("Convert");
  const std::string documented = ReadBytes(t.books_.path() / "friends.htm");
  const std::vector<ExportFileType>& types = ExportFileTypes();
  const auto web = std::find_if(types.begin(), types.end(), [](const ExportFileType& type) {
    return type.caption == "Web page for today (*.html)";
  });
  ASSERT_NE(web, types.end());
  const std::string target = t.books_.File("friends.html");
  w.AnswerExport(ExportChoice{target, static_cast<std::size_t>(web - types.begin()), false});
  w.Click("Export");
  EXPECT_EQ(w.Status(), "Exported 2 contacts and 1 list to:\n" + target);
  EXPECT_TRUE(w.Messages().empty());
  const std::string page = ReadBytes(t.books_.path() / "friends.html");
  EXPECT_EQ(page.rfind("<!DOCTYPE html>\n", 0), 0u);
  EXPECT_NE(page.find("<meta charset=\"utf-8\">"), std::string::npos);
  EXPECT_NE(page.find("Zo\xC3\xAB &amp; Co"), std::string::npos) << "converted and escaped";
  EXPECT_EQ(page.find("Zo\xEB"), std::string::npos);
  EXPECT_NE(page.find("<a href=\"#c0\">zoe</a>"), std::string::npos) << "a member's link";
  EXPECT_EQ(ReadBytes(t.books_.path() / "friends.htm"), documented);
  EXPECT_TRUE(w.Enabled("View"));
}

inline void ExportOverwritingTheBookIsRefused(WindowCaseTest& t, WindowDriver& w) {
  w.Open(t.settings_.path(), std::nullopt);
  const std::string content = "alias bob b@h\r\n";
  const std::string book = t.Book("book.vcf", content);
  w.Type(book);
  w.AnswerExport(ExportChoice{book, 0, false});
  w.Click("Export");
  EXPECT_EQ(w.ExportDialogs(), std::vector<std::string>{book}) << "the suggestion is the book";
  EXPECT_EQ(w.Messages(),
            std::vector<std::string>{"16 Veltrana: The export would overwrite the address book "
                                     "itself.\nFilename: " +
                                     book});
  EXPECT_EQ(ReadBytes(t.books_.path() / "book.vcf"), content);
  EXPECT_EQ(w.Status(), "Invalid Address Book filename");
  t.ExpectButtons(true, true, false, true);
  EXPECT_TRUE(w.History().empty());
}

// A file that cannot be written: the command line's report, nothing left
// behind, nothing remembered.
inline void AFailingExport(WindowCaseTest& t, WindowDriver& w) {
  w.Open(t.settings_.path(), std::nullopt);
  w.Type(t.Book("b.txt", "alias a a@h\r\n"));
  w.AnswerExport(ExportChoice{t.books_.File("no such folder") + "/b.vcf", 0, false});
  w.Click("Export");
  EXPECT_EQ(w.Messages(),
            std::vector<std::string>{
                "0 Veltrana: Error  76: Path not found\nProcedure: WriteVCardFile()"});
  EXPECT_EQ(w.Status(), "Working...");
  t.ExpectButtons(true, true, false, true);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(t.books_.path()),
                          std::filesystem::directory_iterator()),
            1);
  EXPECT_TRUE(w.History().empty());
}

// A big book: the progress shows while Convert, Browse, View and Export are
// disabled; warnings come once, in one box, after the export.
inline void ABigExportShowsProgressAndWarnsOnce(WindowCaseTest& t, WindowDriver& w) {
  w.Open(t.settings_.path(), std::nullopt);
  std::string content = "alias loop1 loop2\r\nalias loop2 loop1\r\n";
  for (int i = 0; i < 118; ++i) content += "alias n" + std::to_string(i) + " n@h\r\n";
  w.Type(t.Book("big.txt", content));
  w.AnswerExport(ExportChoice{t.books_.File("big.ldif"), 3, false});
  w.Click("Export");
  const std::vector<std::string> seen = w.SeenDuringClick();
  EXPECT_NE(std::find(seen.begin(), seen.end(), "Working... ----"), seen.end());
  EXPECT_NE(std::find(seen.begin(), seen.end(), "Exported  50 of  120 ... ----"), seen.end());
  EXPECT_NE(std::find(seen.begin(), seen.end(), "Exported  100 of  120 ... ----"), seen.end());
  EXPECT_EQ(w.Status(), "Exported 118 contacts and 2 lists to:\n" + t.books_.File("big.ldif"));
  t.ExpectButtons(true, true, false, true);
  ASSERT_EQ(w.Messages().size(), 1u);
  const std::string box = w.Messages().front();
  EXPECT_EQ(box.rfind("48 Veltrana: ", 0), 0u) << box;
  EXPECT_NE(box.find("\na list leads back to itself, each member taken once: loop1 -> loop2 -> "
                     "loop1"),
            std::string::npos)
      << box;
  EXPECT_NE(box.find("\na list leads back to itself, each member taken once: loop2"),
            std::string::npos);
}

// The main book of a Eudora folder: the dialog offers the folder's other
// books, and takes them along when the box stays checked.
inline void ExportAEudoraFolder(WindowCaseTest& t, WindowDriver& w) {
  w.Open(t.settings_.path(), std::nullopt);
  const std::string main_book = t.Book("nndbase.txt", "alias ann a@h\r\n");
  std::filesystem::create_directory(t.books_.path() / "Nickname");
  WriteBytes(t.books_.path() / "Nickname" / "work.txt", "alias bob b@h\r\nalias carl c@h\r\n");
  const std::string other = t.Book("other.txt", "alias dan d@h\r\n");

  w.Type(other);
  w.AnswerExport(std::nullopt);
  w.Click("Export");
  w.Type(main_book);
  w.AnswerExport(ExportChoice{t.books_.File("all.vcf"), 0, true});
  w.Click("Export");
  EXPECT_EQ(w.ExportDialogs(), (std::vector<std::string>{t.books_.File("other.vcf"),
                                                         t.books_.File("nndbase.vcf [folder]")}));
  EXPECT_EQ(w.Status(), "Exported 3 contacts and 0 lists to:\n" + t.books_.File("all.vcf"));
  EXPECT_NE(ReadBytes(t.books_.path() / "all.vcf").find("CATEGORIES:work\r\n"), std::string::npos);

  w.AnswerExport(ExportChoice{t.books_.File("main.vcf"), 0, false});
  w.Click("Export");
  EXPECT_EQ(w.Status(), "Exported 1 contact and 0 lists to:\n" + t.books_.File("main.vcf"));
  EXPECT_EQ(w.History(), std::vector<std::string>{main_book});
  EXPECT_TRUE(w.Messages().empty());
}

}  // namespace window_cases
}  // namespace veltrana::test

#define VELTRANA_WINDOW_CASE(Fixture, Case)                \
  TEST_F(Fixture, Case) {                                  \
    ::veltrana::test::window_cases::Case(*this, window()); \
  }

#define VELTRANA_WINDOW_CASES(Fixture)                               \
  VELTRANA_WINDOW_CASE(Fixture, FirstStartWithoutSettings)           \
  VELTRANA_WINDOW_CASE(Fixture, StartWithSettings)                   \
  VELTRANA_WINDOW_CASE(Fixture, AFailedSettingsRead)                 \
  VELTRANA_WINDOW_CASE(Fixture, ARunThatReachesItsEnd)               \
  VELTRANA_WINDOW_CASE(Fixture, ViewOpensThePageOfTheLastRun)        \
  VELTRANA_WINDOW_CASE(Fixture, AnEmptyName)                         \
  VELTRANA_WINDOW_CASE(Fixture, AMissingFile)                        \
  VELTRANA_WINDOW_CASE(Fixture, AFailingRun)                         \
  VELTRANA_WINDOW_CASE(Fixture, BrowseChosenAndCancelled)            \
  VELTRANA_WINDOW_CASE(Fixture, ABrowseThatFails)                    \
  VELTRANA_WINDOW_CASE(Fixture, ExportAnEmptyName)                   \
  VELTRANA_WINDOW_CASE(Fixture, ExportAWebPageForToday)              \
  VELTRANA_WINDOW_CASE(Fixture, ExportAMissingBook)                  \
  VELTRANA_WINDOW_CASE(Fixture, ExportChosenAndCancelled)            \
  VELTRANA_WINDOW_CASE(Fixture, ExportOverwritingTheBookIsRefused)   \
  VELTRANA_WINDOW_CASE(Fixture, AFailingExport)                      \
  VELTRANA_WINDOW_CASE(Fixture, ABigExportShowsProgressAndWarnsOnce) \
  VELTRANA_WINDOW_CASE(Fixture, ExportAEudoraFolder)
