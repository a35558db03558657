#include "conversion/conversion_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/failure.h"
#include "support/page_text.h"
#include "support/run_fixture.h"

namespace veltrana {
namespace {

using test::ExpectedEntry;
using test::ExpectedFooter;
using test::ExpectedHeader;
using test::ExpectedRow;
using test::kRunDateText;

class ConversionRunTest : public test::RunFixture {
 protected:
  static std::string Link(const std::string& address) {
    return "<a href=\"mailto:" + address + "\">" + address + "</a>";
  }

  std::string PageOf(const std::vector<ExpectedEntry>& rows, const std::string& name = "book") {
    std::string page = ExpectedHeader(Title(name), kRunDateText);
    for (const ExpectedEntry& row : rows) page += ExpectedRow(row);
    return page + ExpectedFooter(static_cast<int>(rows.size()), dir_.File(name + ".txt"));
  }

  void ExpectButtons(bool convert, bool browse, bool view) {
    EXPECT_EQ(window_.enabled[Button::kConvert], convert);
    EXPECT_EQ(window_.enabled[Button::kBrowse], browse);
    EXPECT_EQ(window_.enabled[Button::kView], view);
  }

  // The run failed through the error report: the report's text, Convert and
  // Browse enabled, View disabled, history untouched, and no page.
  void ExpectReport(const std::string& report) {
    ASSERT_EQ(window_.messages.size(), 1u);
    EXPECT_EQ(window_.messages[0], report);
    EXPECT_NE(window_.events.end(), std::find(window_.events.begin(), window_.events.end(),
                                              "message 0 Veltrana: " + report));
    ExpectButtons(true, true, false);
    EXPECT_TRUE(history_.calls.empty());
  }

  std::size_t FilesInFolder() const {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir_.path()),
                                                  std::filesystem::directory_iterator()));
  }
};

TEST_F(ConversionRunTest, EmptyNameShowsItsMessageAndOpensNothing) {
  EXPECT_EQ(ConvertField(""), test::RunOutcome::kEmptyName);
  const std::vector<std::string> expected = {
      "status Working...",
      "disable Convert",
      "disable Browse",
      "disable View",
      "pump",
      "message 16 Veltrana: Must enter name of Address Book file to convert",
      "status Invalid Address Book filename",
      "enable Convert",
      "enable Browse",
  };
  EXPECT_EQ(window_.events, expected);
  EXPECT_TRUE(htmlfile_.empty());
  EXPECT_EQ(FilesInFolder(), 0u);
}

TEST_F(ConversionRunTest, BlankNameIsNotEmptyButAMissingFile) {
  EXPECT_EQ(ConvertField("   "), test::RunOutcome::kFileNotFound);
  EXPECT_EQ(window_.messages.at(0), "Specified Address Book does not exist.\r\nFilename:    ");
}

TEST_F(ConversionRunTest, MissingFileSelectsTheFieldAndFocusesBrowse) {
  test::WriteBytes(PagePath("gone.htm"), "earlier page");
  htmlfile_ = "earlier";
  EXPECT_EQ(ConvertField(dir_.File("gone.txt")), test::RunOutcome::kFileNotFound);
  const std::string message =
      "Specified Address Book does not exist.\r\nFilename: " + dir_.File("gone.txt");
  const std::vector<std::string> tail(window_.events.begin() + 5, window_.events.end());
  const std::vector<std::string> expected = {
      "message 16 Veltrana: " + message,
      "status Invalid Address Book filename",
      "focus field",
      "enable Browse",
      "keys {home}+{end}",
      "focus Browse",
      "enable Convert",
      "enable Browse",
  };
  EXPECT_EQ(tail, expected);
  ExpectButtons(true, true, false);
  EXPECT_EQ(htmlfile_, "earlier") << "the page path changes only once the book is open";
  EXPECT_EQ(test::ReadBytes(PagePath("gone.htm")), "earlier page");
}

TEST_F(ConversionRunTest, RowsComeInNicknameOrderIgnoringCase) {
  ASSERT_EQ(Convert("alias bob b@h\r\nalias Alice a@h\r\nalias carol c@h\r\n"),
            test::RunOutcome::kConverted);
  EXPECT_EQ(Page(), PageOf({{"Alice", Link("a@h")}, {"bob", Link("b@h")}, {"carol", Link("c@h")}}));
  EXPECT_EQ(window_.status, "Done.  3 Nicknames converted to:\r\n" + PagePath());
  ExpectButtons(true, true, true);
  EXPECT_EQ(window_.focus, "View");
  const std::vector<std::string> calls = {"UpdateAddressBookList " + dir_.File("book.txt"),
                                          "WriteINIFile"};
  EXPECT_EQ(history_.calls, calls);
  EXPECT_EQ(state_.ctr, 3);
  EXPECT_EQ(state_.proc, "cmdConvert_Click()");
}

TEST_F(ConversionRunTest, OnlyExactAliasLinesGiveRows) {
  ASSERT_EQ(Convert("Alias up u\r\n alias lead l\r\n\r\naliasx y z\r\nnote x <name:X>\r\n"
                    "# comment\r\nalias ok o\r\n"),
            test::RunOutcome::kConverted);
  EXPECT_EQ(Page(), PageOf({{"ok", "o"}}));
}

TEST_F(ConversionRunTest, LineEndsOfOtherSystemsGiveTheSamePage) {
  ASSERT_EQ(Convert("alias b 2\r\nalias a 1\r\n"), test::RunOutcome::kConverted);
  const std::string crlf_page = Page();
  for (const std::string content : {"alias b 2\nalias a 1\n", "alias b 2\ralias a 1"}) {
    ASSERT_EQ(Convert(content), test::RunOutcome::kConverted);
    EXPECT_EQ(Page(), crlf_page);
  }
}

TEST_F(ConversionRunTest, ProgressEveryFifthRow) {
  std::string book;
  for (char c = 'a'; c < 'a' + 12; ++c) book += std::string("alias ") + c + " x\r\n";
  ASSERT_EQ(Convert(book), test::RunOutcome::kConverted);
  const std::vector<std::string> expected = {"Working...", "Converted  5 of  12 ...",
                                             "Converted  10 of  12 ...",
                                             "Done.  12 Nicknames converted to:\r\n" + PagePath()};
  EXPECT_EQ(window_.statuses, expected);
  EXPECT_EQ(std::count(window_.events.begin(), window_.events.end(), "pump"), 3);
}

TEST_F(ConversionRunTest, BookWithoutAliasLinesGivesAnEmptyTableAndNoHistory) {
  for (const std::string content : {"", "note x y\r\nsomething else\r\n"}) {
    window_ = test::RecordingWindow();
    ASSERT_EQ(Convert(content), test::RunOutcome::kConverted);
    EXPECT_EQ(Page(), PageOf({}));
    EXPECT_EQ(window_.status, "Done.  0 Nicknames converted to:\r\n" + PagePath());
    ExpectButtons(true, true, true);
    EXPECT_EQ(window_.focus, "View");
    EXPECT_TRUE(history_.calls.empty());
  }
}

// Every byte but "<" and ">", which are escaped so that no byte of the book
// becomes markup.
TEST_F(ConversionRunTest, EveryByteValueReachesThePageUnchanged) {
  std::string odd = "n";
  for (int byte = 1; byte < 256; ++byte) {
    if (byte != ' ' && byte != '\r' && byte != '\n' && byte != '"') odd += static_cast<char>(byte);
  }
  const std::string nul_name("a\0b", 3);
  ASSERT_EQ(Convert("alias " + odd + " x\x1a\xff\r\nalias " + nul_name + std::string(" \0\r\n", 4)),
            test::RunOutcome::kConverted);
  std::string escaped = odd;
  escaped.replace(escaped.find("<=>"), 3, "&lt;=&gt;");
  EXPECT_EQ(Page(), PageOf({{nul_name, std::string("\0", 1)}, {escaped, "x\x1a\xff"}}));
}

// A spammer's display name, a planted address and a book whose name holds
// markup: every field reaches the page with "<" and ">" escaped, a double
// quote inside the link's attribute as "&quot;", and "&" as it stands.
TEST_F(ConversionRunTest, MarkupFromTheBookNeverBecomesMarkup) {
  const struct {
    std::string line;
    std::string expected;  // in the page
  } cases[] = {
      {"alias <script>x</script> a@e.com", "<td><b>&lt;script&gt;x&lt;/script&gt;</b><br>"},
      {"alias a <a\"onmouseover=alert(8)\"@e.com>",
       "<a href=\"mailto:a&quot;onmouseover=alert(8)&quot;@e.com\">"},
      {"alias b b@e.com\r\nnote b <name:<img src=x>><phone:<i>1><fax:<u>2>ok",
       "<font size=small>&lt;img src=x<br><br>Phone: &lt;i<br>Fax: &lt;u</font>"},
      {"alias c c@e.com\r\nnote c <b onclick=x>tagless</b>",
       "<font size=small>&lt;b onclick=x&gt;tagless&lt;/b&gt;</font>"},
      {"alias d Tom & Jerry <d@e.com>", "<a href=\"mailto:d@e.com\">d@e.com</a>"},
      {"alias e e@e.com\r\nnote e Tom & Jerry", "<font size=small>Tom & Jerry</font>"},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(Convert(c.line + "\r\n"), test::RunOutcome::kConverted) << c.line;
    EXPECT_NE(Page().find(c.expected), std::string::npos) << c.line << "\n" << Page();
  }
#if !defined(_WIN32)  // Windows names cannot hold "<" or ">"
  ASSERT_EQ(Convert("alias a a@e.com\r\n", "<b>x.txt"), test::RunOutcome::kConverted);
  EXPECT_NE(Page().find("<td> &lt;b&gt;x<br>"), std::string::npos) << Page();
  EXPECT_NE(Page().find("Address Book: "), std::string::npos);
  EXPECT_EQ(Page().find("<b>x"), std::string::npos) << Page();
#endif
}

TEST_F(ConversionRunTest, AVeryLongLineIsConverted) {
  const std::string address(100000, 'w');
  ASSERT_EQ(Convert("alias long " + address + "\r\n"), test::RunOutcome::kConverted);
  EXPECT_EQ(Page(), PageOf({{"long", "<font size=small>" + address + "</font>"}}));
}

struct FailureCase {
  const char* what;
  std::string content;
  std::string report;
};

TEST_F(ConversionRunTest, BadAliasLinesFailInTheFirstPassAndLeaveNoPage) {
  const FailureCase cases[] = {
      {"no blank after the nickname", "alias ok o\r\nalias lonely\r\n",
       "Error  5: Invalid procedure call or argument\r\nProcedure: ExtractNickname()"},
      {"nothing after the keyword", "alias \r\n",
       "Error  5: Invalid procedure call or argument\r\nProcedure: ExtractNickname()"},
      {"unclosed quote", "alias \"Jane Doe jane@host\r\n",
       "Error  5: Invalid procedure call or argument\r\nProcedure: ExtractNickname()"},
      {"nickname past 32,767", "alias " + std::string(32761, 'n') + " x\r\n",
       "Error  6: Overflow\r\nProcedure: ExtractNickname()"},
      {"address text that cannot be cut", "alias " + std::string(32760, 'n') + " x\r\n",
       "Error  6: Overflow\r\nProcedure: cmdConvert_Click()"},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.what);
    window_ = test::RecordingWindow();
    test::WriteBytes(PagePath(), "earlier page");
    EXPECT_EQ(Convert(c.content), test::RunOutcome::kFailed);
    ExpectReport(c.report);
    EXPECT_EQ(window_.status, "Working...");
    EXPECT_EQ(test::ReadBytes(PagePath()), "earlier page");
    EXPECT_EQ(FilesInFolder(), 2u) << "book and earlier page only";
  }
}

TEST_F(ConversionRunTest, ShortNameOfAnExistingFileFailsInTheRunItself) {
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(dir_.path());
  test::WriteBytes("abc", "alias a b\r\n");
  const test::RunOutcome outcome = ConvertField("abc");
  std::filesystem::current_path(previous);
  EXPECT_EQ(outcome, test::RunOutcome::kFailed);
  ExpectReport("Error  5: Invalid procedure call or argument\r\nProcedure: cmdConvert_Click()");
}

// A file's own name of one to three characters after a folder: cutting four
// characters would reach into the folder's name ("site/index/abc" would
// replace "site/index.htm"), so the run refuses it as it refuses "abc".
TEST_F(ConversionRunTest, ShortNameInAFolderIsRefusedAndNoOtherPageIsTouched) {
  std::filesystem::create_directories(dir_.path() / "site" / "index");
  for (const char* name : {"site/index/abc", "site/x", "site/index/ab"}) {
    test::WriteBytes(dir_.path() / "site" / "index.htm", "unrelated page");
    test::WriteBytes(dir_.path() / "site.htm", "unrelated page");
    test::WriteBytes(dir_.File(name), "alias a b\r\n");
    window_.messages.clear();
    EXPECT_EQ(ConvertField(dir_.File(name)), test::RunOutcome::kFailed) << name;
    ExpectReport("Error  5: Invalid procedure call or argument\r\nProcedure: cmdConvert_Click()");
    EXPECT_EQ(test::ReadBytes(dir_.path() / "site" / "index.htm"), "unrelated page") << name;
    EXPECT_EQ(test::ReadBytes(dir_.path() / "site.htm"), "unrelated page") << name;
  }
}

TEST(PagePathFor, CutsFourWholeCharactersOfTheFilesOwnName) {
  const struct {
    std::string book;
    std::string page;  // empty: refused with code 5
  } cases[] = {
    {"c:/eudora/nndbase.txt", "c:/eudora/nndbase.htm"},
    {"book.text", "book..htm"},
    {"dir/abcd", "dir/.htm"},
    {"dir/abc", ""},
    {"/dev/x", ""},
#if !defined(_WIN32)
    {"Gr\xC3\xBC\xC3\x9F"
     "e",
     "G.htm"},  // "Grüße": never half a character
    {"d/Gr\xC3\xBC\xC3\x9F"
     "e.txt",
     "d/Gr\xC3\xBC\xC3\x9F"
     "e.htm"},
    {"d/caf\xE9", "d/.htm"},  // Latin-1: bytes
    {"d/x\xF0\x9F\x93\x96"
     "abc",
     "d/x.htm"},  // a four-byte character
#endif
  };
  for (const auto& c : cases) {
    if (c.page.empty()) {
      EXPECT_THROW(static_cast<void>(PagePathFor(std::filesystem::path(c.book))), Failure)
          << c.book;
      EXPECT_THROW(static_cast<void>(PagePathFor(c.book)), Failure) << c.book;
      continue;
    }
    EXPECT_EQ(PagePathFor(std::filesystem::path(c.book)).string(), c.page) << c.book;
    EXPECT_EQ(PagePathFor(c.book), c.page) << c.book;
  }
}

TEST_F(ConversionRunTest, DirectoryAsAddressBookIsReported) {
  std::filesystem::create_directory(dir_.File("folder.txt"));
  EXPECT_EQ(ConvertField(dir_.File("folder.txt")), test::RunOutcome::kFailed);
  ExpectReport("Error  75: Path/File access error\r\nProcedure: cmdConvert_Click()");
}

TEST_F(ConversionRunTest, PagePathHeldByADirectoryFailsInWriteHeader) {
  std::filesystem::create_directory(PagePath());
  EXPECT_EQ(Convert("alias a b\r\n"), test::RunOutcome::kFailed);
  ExpectReport("Error  75: Path/File access error\r\nProcedure: WriteHeader()");
  EXPECT_TRUE(std::filesystem::is_directory(PagePath()));
  EXPECT_EQ(FilesInFolder(), 2u);
}

TEST_F(ConversionRunTest, ReadOnlyFolderFailsInWriteHeader) {
  test::WriteBytes(dir_.File("book.txt"), "alias a b\r\n");
  std::filesystem::permissions(
      dir_.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  test::WriteBytes(dir_.File("probe"), "x");
  if (test::Exists(dir_.File("probe"))) {
    std::filesystem::permissions(dir_.path(), std::filesystem::perms::owner_all);
    GTEST_SKIP() << "this user writes into read-only folders (root); the directory-held page "
                    "path covers the same failure";
  }
  EXPECT_EQ(ConvertField(dir_.File("book.txt")), test::RunOutcome::kFailed);
  std::filesystem::permissions(dir_.path(), std::filesystem::perms::owner_all);
  ExpectReport("Error  75: Path/File access error\r\nProcedure: WriteHeader()");
}

TEST_F(ConversionRunTest, RefusesAPagePathThatNamesTheAddressBook) {
  const std::string book = "alias a b\r\n";
  EXPECT_EQ(Convert(book, "book.htm"), test::RunOutcome::kRefusedOverwrite);
  ASSERT_EQ(window_.messages.size(), 1u);
  EXPECT_EQ(window_.messages[0],
            "The page would overwrite the address book itself.\r\nFilename: " + PagePath());
  EXPECT_EQ(window_.events[5], "message 16 Veltrana: " + window_.messages[0]);
  EXPECT_EQ(window_.status, "Invalid Address Book filename");
  ExpectButtons(true, true, false);
  EXPECT_EQ(test::ReadBytes(PagePath()), book);
  EXPECT_EQ(FilesInFolder(), 1u);
  EXPECT_TRUE(history_.calls.empty());
}

TEST_F(ConversionRunTest, RefusesWhenThePagePathIsALinkToTheAddressBook) {
  test::WriteBytes(dir_.File("alias.txt"), "alias a b\r\n");
  // A symbolic link where the system makes one for this user, else a second
  // name of the same file (Windows allows symbolic links to few users).
  std::error_code refused;
  std::filesystem::create_symlink(dir_.File("alias.txt"), PagePath("alias.htm"), refused);
  if (refused) std::filesystem::create_hard_link(dir_.File("alias.txt"), PagePath("alias.htm"));
  EXPECT_EQ(ConvertField(dir_.File("alias.txt")), test::RunOutcome::kRefusedOverwrite);
  EXPECT_EQ(test::ReadBytes(dir_.File("alias.txt")), "alias a b\r\n");
}

TEST_F(ConversionRunTest, RowCountPast32767FailsInWriteHTMLLineAndLeavesNoPage) {
  // 182 alias lines of one nickname, none adjacent: each of the 182 scans
  // writes 182 rows, 33,124 in all.
  std::string book;
  for (int i = 0; i < 182; ++i) book += "alias x a" + std::to_string(i) + "\r\n-\r\n";
  test::WriteBytes(PagePath(), "earlier page");
  EXPECT_EQ(Convert(book), test::RunOutcome::kFailed);
  ExpectReport("Error  6: Overflow\r\nProcedure: WriteHTMLLine()");
  EXPECT_EQ(state_.ctr, 32767);
  EXPECT_EQ(window_.status, "Converted  32765 of  182 ...");
  EXPECT_EQ(test::ReadBytes(PagePath()), "earlier page");
}

TEST_F(ConversionRunTest, ClosingTheWindowMidRunLeavesNoHalfPage) {
  std::string book;
  for (int i = 0; i < 20; ++i) book += "alias n" + std::to_string(i) + " x\r\n";
  window_.close_at_pump = 2;  // the start's pump, the fifth row, then the tenth
  EXPECT_EQ(Convert(book), test::RunOutcome::kAbandoned);
  EXPECT_FALSE(test::Exists(PagePath()));
  EXPECT_EQ(FilesInFolder(), 1u);
  EXPECT_TRUE(history_.calls.empty());
}

TEST_F(ConversionRunTest, OtherExceptionsAreTrappedAndReported) {
  // Whatever escapes an operation mid-run ends in the error report, never in
  // a crash or a half page.
  const struct {
    std::function<void()> raise;
    std::string report;
  } cases[] = {
      {[] { throw std::bad_alloc(); }, "Error  7: Out of memory\r\nProcedure: cmdConvert_Click()"},
      {[] { throw std::length_error("too long"); },
       "Error  51: Internal error\r\nProcedure: cmdConvert_Click()"},
  };
  for (const auto& c : cases) {
    window_ = test::RecordingWindow();
    window_.on_pump = [&c](int pump) {
      if (pump == 1) c.raise();  // at the fifth row
    };
    std::string book;
    for (int i = 0; i < 8; ++i) book += "alias n" + std::to_string(i) + " x\r\n";
    test::WriteBytes(PagePath(), "earlier page");
    EXPECT_EQ(Convert(book), test::RunOutcome::kFailed) << c.report;
    ExpectReport(c.report);
    EXPECT_EQ(test::ReadBytes(PagePath()), "earlier page");
    EXPECT_EQ(FilesInFolder(), 2u) << "no temporary page is left";
  }
}

TEST_F(ConversionRunTest, ANewRunStartsCountingAgain) {
  ASSERT_EQ(Convert("alias a 1\r\nalias b 2\r\n"), test::RunOutcome::kConverted);
  EXPECT_EQ(state_.ctr, 2);
  ASSERT_EQ(Convert("alias c 3\r\n"), test::RunOutcome::kConverted);
  EXPECT_EQ(state_.ctr, 1);
  EXPECT_EQ(Page(), PageOf({{"c", "3"}}));
}

}  // namespace
}  // namespace veltrana
