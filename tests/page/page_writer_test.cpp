#include "page/page_writer.h"

#include <gtest/gtest.h>

#include <string>

#include "base/failure.h"
#include "support/page_text.h"
#include "support/temp_dir.h"

namespace veltrana {
namespace {

using test::ExpectedEntry;

// The fields of one entry as the converter state holds them for its row.
struct RowFields {
  std::string nickname, email, name, address, phone, fax, note;
};

// Backslash or slash: the same book gives the same title on every system,
// and a Linux path or a Windows path typed with slashes loses its folders.
TEST(StripPath, KeepsWhatFollowsTheLastBackslashOrSlash) {
  const std::pair<std::string, std::string> cases[] = {
      {"c:\\mail\\lists\\friends", "friends"},
      {"friends", "friends"},
      {"\\nndbase", "nndbase"},
      {"c:\\mail\\", ""},
      {"c:/mail/friends", "friends"},
      {"/home/me/mail/nndbase", "nndbase"},
      {"c:\\mail/lists\\friends", "friends"},
      {"c:\\mail\\lists/friends", "friends"},
      {"c:friends", "c:friends"},  // a drive colon does not separate
  };
  for (const auto& [path, stripped] : cases) EXPECT_EQ(StripPath(path), stripped) << path;
}

TEST(BookTitle, DropsTxtAndFoldersAndNamesTheEudoraBook) {
  const std::pair<std::string, std::string> cases[] = {
      {"c:\\eudora\\nndbase.txt", "Eudora Nicknames"},
      {"C:\\EUDORA\\NNDBASE.TXT", "Eudora Nicknames"},
      {"nndbase.txt", "Eudora Nicknames"},
      {"d:\\mail\\Friends.txt", "Friends"},
      {"d:\\mail\\friends.TXT", "friends"},
      {"d:\\mail\\friends.nnt", "friends.nnt"},
      {"d:\\mail\\nndbase.bak", "nndbase.bak"},
      {"c:\\a\\b\\list.txt", "list"},
      {"c:\\x\\y.txt", "y"},
      {".txt", ""},
      {"/home/me/mail/nndbase.txt", "Eudora Nicknames"},
      {"c:/eudora/friends.txt", "friends"},
  };
  for (const auto& [book, title] : cases) EXPECT_EQ(BookTitle(book), title) << book;
}

TEST(PageDateText, WritesTwoDigitDayAbbreviatedMonthAndYear) {
  EXPECT_EQ(PageDateText({1997, 3, 5}), "05-Mar-1997");
  const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  for (int month = 1; month <= 12; ++month) {
    EXPECT_EQ(PageDateText({2026, month, 28}), "28-" + std::string(months[month - 1]) + "-2026");
  }
}

TEST(UtcDateOfEpochSeconds, GivesTheCivilDate) {
  const struct {
    long long seconds;
    int year, month, day;
  } cases[] = {
      {0, 1970, 1, 1},          {86399, 1970, 1, 1},       {86400, 1970, 1, 2},
      {951782400, 2000, 2, 29}, {1796601599, 2026, 12, 6}, {-1, 1969, 12, 31},
      {4107542400, 2100, 3, 1},
  };
  for (const auto& c : cases) {
    const CalendarDate date = UtcDateOfEpochSeconds(c.seconds);
    EXPECT_EQ(date.year, c.year) << c.seconds;
    EXPECT_EQ(date.month, c.month) << c.seconds;
    EXPECT_EQ(date.day, c.day) << c.seconds;
  }
}

class PageWriterTest : public ::testing::Test {
 protected:
  std::string WritePage(const std::vector<RowFields>& entries) {
    state_.addressbook = "c:\\eudora\\nndbase.txt";
    WriteHeader(state_, page_, path_, {1997, 3, 5});
    EXPECT_EQ(state_.proc, "Form_Load()") << "the caller's name is back";
    for (const RowFields& e : entries) {
      state_.nickname = e.nickname;
      state_.emailaddress = e.email;
      state_.recipientname = e.name;
      state_.recipientaddress = e.address;
      state_.recipientphone = e.phone;
      state_.recipientfax = e.fax;
      state_.recipientnote = e.note;
      WriteHTMLLine(state_, page_);
      EXPECT_EQ(state_.proc, "Form_Load()");
    }
    WriteFooter(state_, page_);
    EXPECT_EQ(state_.proc, "Form_Load()");
    return test::ReadBytes(path_);
  }

  test::TempDir dir_;
  std::string path_ = dir_.File("page.htm");
  ConverterState state_ = LoadedConverterState();
  ReplacingFile page_;
};

TEST_F(PageWriterTest, WritesHeaderRowsAndFooterByteForByte) {
  const std::string page = WritePage({
      {"ann", "<a href=\"mailto:ann@host\">ann@host</a>", "Ann Lee", "12 Elm St", "555-0100", "",
       "Met at the show"},
      {"bob", "bob@host", "", "", "", "555-0199", ""},
      {"cy", "cy", "Cy", "", "1", "2", "x"},
      {"dee", "", "", "", "", "", ""},
  });
  EXPECT_EQ(page, test::ExpectedHeader("Eudora Nicknames", "05-Mar-1997") +
                      test::Lines({
                          "<tr>",
                          "<td><b>ann</b><br><a href=\"mailto:ann@host\">ann@host</a>",
                          "<td valign=top><font size=small>Ann Lee<br>12 Elm St<br>Phone: "
                          "555-0100<br></font>",
                          "<td valign=top><font size=small>Met at the show</font>",
                          "</tr>",
                          "",
                          "<tr>",
                          "<td><b>bob</b><br>bob@host",
                          "<td valign=top><font size=small><br><br>Fax: 555-0199</font>",
                          "<td valign=top><font size=small></font>",
                          "</tr>",
                          "",
                          "<tr>",
                          "<td><b>cy</b><br>cy",
                          "<td valign=top><font size=small>Cy<br><br>Phone: 1<br>Fax: 2</font>",
                          "<td valign=top><font size=small>x</font>",
                          "</tr>",
                          "",
                          "<tr>",
                          "<td><b>dee</b><br>",
                          "<td valign=top><font size=small><br><br></font>",
                          "<td valign=top><font size=small></font>",
                          "</tr>",
                          "",
                      }) +
                      test::ExpectedFooter(4, "c:\\eudora\\nndbase.txt"));
  EXPECT_EQ(state_.ctr, 4);
}

TEST_F(PageWriterTest, RowPartsFollowTheDocumentedLines) {
  const std::string page = WritePage({
      {"a", "", "Ann Lee", "12 Elm St", "555-0100", "", ""},
      {"b", "", "Ann Lee", "12 Elm St", "", "555-0199", ""},
      {"c", "", "", "", "", "", ""},
  });
  EXPECT_EQ(page, test::ExpectedHeader("Eudora Nicknames", "05-Mar-1997") +
                      test::Lines({
                          "<tr>",
                          "<td><b>a</b><br>",
                          "<td valign=top><font size=small>Ann Lee<br>12 Elm St<br>Phone: "
                          "555-0100<br></font>",
                          "<td valign=top><font size=small></font>",
                          "</tr>",
                          "",
                          "<tr>",
                          "<td><b>b</b><br>",
                          "<td valign=top><font size=small>Ann Lee<br>12 Elm St<br>Fax: "
                          "555-0199</font>",
                          "<td valign=top><font size=small></font>",
                          "</tr>",
                          "",
                          "<tr>",
                          "<td><b>c</b><br>",
                          "<td valign=top><font size=small><br><br></font>",
                          "<td valign=top><font size=small></font>",
                          "</tr>",
                          "",
                      }) +
                      test::ExpectedFooter(3, "c:\\eudora\\nndbase.txt"));
}

TEST_F(PageWriterTest, EmptyRunIsHeaderThenFooterAndEndsWithTwoLineEnds) {
  const std::string page = WritePage({});
  EXPECT_EQ(page, test::ExpectedHeader("Eudora Nicknames", "05-Mar-1997") +
                      test::ExpectedFooter(0, "c:\\eudora\\nndbase.txt"));
  EXPECT_EQ(page.substr(page.size() - 11), "</html>\r\n\r\n");
}

TEST_F(PageWriterTest, ReplacesAnExistingPageFromItsFirstByte) {
  test::WriteBytes(path_, std::string(100000, 'o'));
  EXPECT_EQ(WritePage({}), test::ExpectedHeader("Eudora Nicknames", "05-Mar-1997") +
                               test::ExpectedFooter(0, "c:\\eudora\\nndbase.txt"));
}

TEST_F(PageWriterTest, The32768thRowIsWrittenThenOverflows) {
  state_.addressbook = "book.txt";
  WriteHeader(state_, page_, path_, {1997, 3, 5});
  state_.ctr = 32766;
  state_.nickname = "x";
  WriteHTMLLine(state_, page_);
  EXPECT_EQ(state_.ctr, 32767);
  state_.nickname = "last";
  try {
    WriteHTMLLine(state_, page_);
    ADD_FAILURE() << "the 32,768th row did not overflow";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.code(), kOverflow);
  }
  EXPECT_EQ(state_.ctr, 32767);
  EXPECT_EQ(state_.proc, "WriteHTMLLine()");
  page_.Abandon();
}

}  // namespace
}  // namespace veltrana
