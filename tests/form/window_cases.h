// The main window's states, one case per row of its state table, run
// against every window through a WindowDriver. A test file includes this
// and instantiates the cases for its fixture:
//
//   VELTRANA_WINDOW_CASES(MyWindowTest)
//
// where MyWindowTest derives from WindowCaseTest and sets `driver_`.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

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

inline void AnEmptyName(WindowCaseTest& t, WindowDriver& w) {
  w.Open(t.settings_.path(), std::nullopt);
  w.Type("");
  w.Click("Convert");
  EXPECT_EQ(w.Messages(), std::vector<std::string>{
                              "16 Veltrana: Must enter name of Address Book file to convert"});
  EXPECT_EQ(w.Status(), "Invalid Address Book filename");
  t.ExpectButtons(true, true, false);
}

inline void AMissingFile(WindowCaseTest& t, WindowDriver& w) {
  w.Open(t.settings_.path(), std::nullopt);
  const std::string missing = t.books_.File("missing.txt");
  w.Type(missing);
  w.Click("Convert");
  EXPECT_EQ(w.Messages(),
            std::vector<std::string>{
                "16 Veltrana: Specified Address Book does not exist.\nFilename: " + missing});
  EXPECT_EQ(w.Status(), "Invalid Address Book filename");
  EXPECT_EQ(w.Focus(), "Browse");
  EXPECT_EQ(w.SelectedFieldText(), missing);
  t.ExpectButtons(true, true, false);
  EXPECT_TRUE(w.History().empty());
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
  t.ExpectButtons(true, true, false);
  EXPECT_EQ(w.Field(), book);
  w.Click("Convert");
  EXPECT_TRUE(w.Enabled("View"));
}

}  // namespace window_cases
}  // namespace veltrana::test

#define VELTRANA_WINDOW_CASE(Fixture, Case)                \
  TEST_F(Fixture, Case) {                                  \
    ::veltrana::test::window_cases::Case(*this, window()); \
  }

#define VELTRANA_WINDOW_CASES(Fixture)                     \
  VELTRANA_WINDOW_CASE(Fixture, FirstStartWithoutSettings) \
  VELTRANA_WINDOW_CASE(Fixture, StartWithSettings)         \
  VELTRANA_WINDOW_CASE(Fixture, AFailedSettingsRead)       \
  VELTRANA_WINDOW_CASE(Fixture, ARunThatReachesItsEnd)     \
  VELTRANA_WINDOW_CASE(Fixture, AnEmptyName)               \
  VELTRANA_WINDOW_CASE(Fixture, AMissingFile)              \
  VELTRANA_WINDOW_CASE(Fixture, AFailingRun)               \
  VELTRANA_WINDOW_CASE(Fixture, BrowseChosenAndCancelled)  \
  VELTRANA_WINDOW_CASE(Fixture, ABrowseThatFails)
