// The 16-bit limits of counts and positions, met by generated books.
#include <gtest/gtest.h>

#include <string>

#include "support/run_fixture.h"

namespace veltrana {
namespace {

class LimitsTest : public test::RunFixture {
 protected:
  static std::string DistinctAliases(int count) {
    std::string book;
    book.reserve(static_cast<std::size_t>(count) * 16);
    for (int i = 0; i < count; ++i) book += "alias n" + std::to_string(i) + " x\r\n";
    return book;
  }
};

TEST_F(LimitsTest, ThirtyTwoThousandSevenHundredSixtySevenRowsConvert) {
  ASSERT_EQ(Convert(DistinctAliases(32767)), test::RunOutcome::kConverted);
  EXPECT_EQ(state_.ctr, 32767);
  EXPECT_EQ(window_.status, "Done.  32767 Nicknames converted to:\r\n" + PagePath());
  const std::string page = Page();
  EXPECT_EQ(page.substr(page.size() - 11), "</html>\r\n\r\n");
}

TEST_F(LimitsTest, The32768thRowIsWrittenThenOverflowsAndNoPageRemains) {
  // 32,765 nicknames once and one twice, not adjacent: 32,767 work-list
  // entries and 32,769 rows.
  test::WriteBytes(PagePath(), "earlier page");
  EXPECT_EQ(Convert("alias twice a\r\n-\r\n" + DistinctAliases(32765) + "alias twice b\r\n"),
            test::RunOutcome::kFailed);
  EXPECT_EQ(window_.messages.at(0), "Error  6: Overflow\r\nProcedure: WriteHTMLLine()");
  EXPECT_EQ(state_.ctr, 32767);
  EXPECT_EQ(test::ReadBytes(PagePath()), "earlier page");
  EXPECT_FALSE(window_.enabled[Button::kView]);
}

TEST_F(LimitsTest, MoreThan32767WorkListEntriesOverflowInTheRun) {
  EXPECT_EQ(Convert(DistinctAliases(32768)), test::RunOutcome::kFailed);
  EXPECT_EQ(window_.messages.at(0), "Error  6: Overflow\r\nProcedure: cmdConvert_Click()");
  EXPECT_FALSE(test::Exists(PagePath()));
}

TEST_F(LimitsTest, SeparatorsAtPositions32767And32768) {
  const struct {
    const char* what;
    std::string book;
    std::string report;  // empty: converts
  } cases[] = {
      {"alias blank at 32,766", "alias " + std::string(32759, 'n') + " x\r\n", ""},
      {"alias blank at 32,767", "alias " + std::string(32760, 'n') + " x\r\n",
       "Error  6: Overflow\r\nProcedure: cmdConvert_Click()"},
      {"alias blank at 32,768", "alias " + std::string(32761, 'n') + " x\r\n",
       "Error  6: Overflow\r\nProcedure: ExtractNickname()"},
      {"closing quote at 32,767", "alias \"" + std::string(32759, 'n') + "\" x\r\n",
       "Error  6: Overflow\r\nProcedure: cmdConvert_Click()"},
      {"note blank at 32,766", "alias a b\r\nnote " + std::string(32760, 'n') + " x\r\n", ""},
      {"note blank at 32,767", "alias a b\r\nnote " + std::string(32761, 'n') + " x\r\n",
       "Error  6: Overflow\r\nProcedure: cmdConvert_Click()"},
      {"note blank at 32,768", "alias a b\r\nnote " + std::string(32762, 'n') + " x\r\n",
       "Error  6: Overflow\r\nProcedure: cmdConvert_Click()"},
      {"note text of 32,767", "alias a b\r\nnote a <fax:1>" + std::string(32760, 'n') + "\r\n", ""},
      {"note text of 32,768", "alias a b\r\nnote a <fax:1>" + std::string(32761, 'n') + "\r\n",
       "Error  6: Overflow\r\nProcedure: ReadNoteLine()"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    window_ = test::RecordingWindow();
    const test::RunOutcome outcome = Convert(c.book);
    if (c.report.empty()) {
      EXPECT_EQ(outcome, test::RunOutcome::kConverted);
      EXPECT_TRUE(window_.messages.empty());
    } else {
      EXPECT_EQ(outcome, test::RunOutcome::kFailed);
      ASSERT_EQ(window_.messages.size(), 1u);
      EXPECT_EQ(window_.messages[0], c.report);
    }
  }
}

}  // namespace
}  // namespace veltrana
