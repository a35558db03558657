// The run reads the nickname file once. These tests hold it to the rows,
// progress and failures of the plain two-pass reading, which scans the whole
// file again for every work-list entry.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "conversion/conversion_run.h"
#include "support/page_text.h"
#include "support/run_fixture.h"
#include "support/two_pass_reference.h"

namespace veltrana {
namespace {

class TwoPassEquivalenceTest : public test::RunFixture {
 protected:
  void ExpectSameAsTwoPass(const std::string& content) {
    window_ = test::RecordingWindow();
    const test::RunOutcome run = Convert(content);
    const test::TwoPassOutcome expected =
        test::TwoPassReference(content, dir_.File("book.txt"), test::kRunDate);
    test::TwoPassOutcome actual;
    if (run == test::RunOutcome::kConverted) actual.page = Page();
    for (const std::string& status : window_.statuses) {
      if (status.rfind("Converted ", 0) == 0) actual.statuses.push_back(status);
    }
    if (run == test::RunOutcome::kFailed) actual.report = window_.messages.at(0);
    ASSERT_EQ(actual.report, expected.report) << Printable(content);
    ASSERT_EQ(actual.statuses, expected.statuses) << Printable(content);
    ASSERT_EQ(actual.page, expected.page) << Printable(content);
  }

  static std::string Printable(const std::string& content) {
    return content.size() > 2000 ? content.substr(0, 2000) + "..." : content;
  }

  std::string PageOf(const std::vector<test::ExpectedEntry>& rows) {
    std::string page = test::ExpectedHeader(Title(), test::kRunDateText);
    for (const test::ExpectedEntry& row : rows) page += test::ExpectedRow(row);
    return page + test::ExpectedFooter(static_cast<int>(rows.size()), dir_.File("book.txt"));
  }
};

TEST_F(TwoPassEquivalenceTest, DistantDuplicatesGiveEveryRowOncePerScan) {
  const std::string book =
      "alias x first\r\nnote x one\r\nalias y why\r\nalias x second\r\nnote x two\r\n";
  ASSERT_EQ(Convert(book), test::RunOutcome::kConverted);
  const test::ExpectedEntry first{"x", "first", "<br><br>", "one"};
  const test::ExpectedEntry second{"x", "second", "<br><br>", "two"};
  EXPECT_EQ(Page(), PageOf({first, second, first, second, {"y", "why"}}));
  ExpectSameAsTwoPass(book);
}

TEST_F(TwoPassEquivalenceTest, AdjacentDuplicateIsReadAheadAndGivesTheFirstLinesRowTwice) {
  const std::string book = "alias x first\r\nalias x second\r\n";
  ASSERT_EQ(Convert(book), test::RunOutcome::kConverted);
  EXPECT_EQ(Page(), PageOf({{"x", "first"}, {"x", "first"}}));
  ExpectSameAsTwoPass(book);
  // Three in a row: the third is examined again after the second is read ahead.
  const std::string three = "alias x 1\r\nalias x 2\r\nalias x 3\r\n";
  ASSERT_EQ(Convert(three), test::RunOutcome::kConverted);
  EXPECT_EQ(Page(),
            PageOf({{"x", "1"}, {"x", "3"}, {"x", "1"}, {"x", "3"}, {"x", "1"}, {"x", "3"}}));
  ExpectSameAsTwoPass(three);
}

TEST_F(TwoPassEquivalenceTest, AnotherNicknamesLineReadAheadIsStillFoundInItsOwnScan) {
  const std::string book = "alias b bee\r\nalias a ay\r\n";
  ASSERT_EQ(Convert(book), test::RunOutcome::kConverted);
  EXPECT_EQ(Page(), PageOf({{"a", "ay"}, {"b", "bee"}}));
  ExpectSameAsTwoPass(book);
}

TEST_F(TwoPassEquivalenceTest, AliasLineAsLastLineAndNotesOfOtherNicknames) {
  ExpectSameAsTwoPass("alias a 1\r\nnote b <name:B>\r\nalias b 2\r\nnote a <name:A>\r\nalias c 3");
  ExpectSameAsTwoPass("note a orphan\r\nalias a 1\r\n");
}

// An alias line whose address text cannot be cut fails the first scan that
// examines it, but not a scan that reads it ahead as a note.
TEST_F(TwoPassEquivalenceTest, UncuttableLineFailsOnlyWhereItIsExamined) {
  const std::string uncuttable = "alias " + std::string(32760, 'x') + " tail\r\n";
  ExpectSameAsTwoPass(uncuttable + "alias a 1\r\n");
  ExpectSameAsTwoPass("alias a 1\r\n" + uncuttable);
  // The scan for a reads it ahead and writes its row; the scan for b fails.
  const std::string book = "alias a 1\r\n" + uncuttable + "alias b 2\r\n";
  ExpectSameAsTwoPass(book);
  window_ = test::RecordingWindow();
  EXPECT_EQ(Convert(book), test::RunOutcome::kFailed);
  EXPECT_EQ(window_.messages.at(0), "Error  6: Overflow\r\nProcedure: cmdConvert_Click()");
}

TEST_F(TwoPassEquivalenceTest, RandomBooksAgreeWithTheTwoPassReading) {
  std::mt19937 random(7);
  const std::vector<std::string> forms = {
      "alias ann ann@host",
      "alias Ann ANN@host",
      "alias bob bob@host",
      "alias bob bob2@host",
      "alias \"Jane Doe\" jd@h",
      "alias \"\" empty",
      "alias carol ",
      "note ann <name:Ann>x",
      "note bob hello",
      "note \"Jane Doe\" <name:Jane>",
      "",
      "# other",
      "alias zed z",
      "alias ZED Z",
      "alias \xe9mile e@h",
      "alias \xc9MILE E@h",
      "alias team a@h, b@h",
      "alias fam a@h\x03b@h",
      "note ann <address:1 Elm\x03Town><fax:9>call",
      "alias ann Ann <ann@host>",
      // Nicknames that share their first eight bytes, which the work list
      // compares first.
      "alias johnsmithz z@h",
      "alias JohnSmithA a@h",
      "alias johnsmit j@h",
      "alias johnsmith.x x@h",
      "alias JOHNSMITHB b@h",
  };
  const std::vector<std::string> rare = {
      "alias broken",                                // fails in the first pass
      "alias " + std::string(32760, 'q') + " tail",  // cannot be cut
      "alias bob \"Bob\" bob@host",                  // address form fails
      "note bob <phone:555",                         // note fails
  };
  for (int round = 0; round < 300; ++round) {
    std::string book;
    const int lines = static_cast<int>(random() % 14);
    for (int i = 0; i < lines; ++i) {
      const bool pick_rare = random() % 40 == 0;
      book += pick_rare ? rare[random() % rare.size()] : forms[random() % forms.size()];
      if (i + 1 < lines || random() % 2 == 0) book += "\r\n";
    }
    SCOPED_TRACE(round);
    ExpectSameAsTwoPass(book);
    if (HasFatalFailure()) return;
  }
}

}  // namespace
}  // namespace veltrana
