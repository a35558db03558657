// Whole entries through the run: the alias line and the line after it give
// the row, or the failure that the error report names.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "support/page_text.h"
#include "support/run_fixture.h"

namespace veltrana {
namespace {

using test::ExpectedEntry;

const std::string M(1, '\x03');  // the line-break marker

std::string Link(const std::string& address) {
  return "<a href=\"mailto:" + address + "\">" + address + "</a>";
}

std::string Small(const std::string& text) {
  return "<font size=small>" + text + "</font>";
}

struct EntryCase {
  std::string lines;  // the book, CR LF line ends
  std::optional<ExpectedEntry> row;
  std::string report{};  // when the run fails
};

class EntryRowTest : public test::RunFixture {};

TEST_F(EntryRowTest, AliasAndNoteLinesGiveTheirRow) {
  const EntryCase cases[] = {
      {"alias ann ann@host\r\nnote ann <name:Ann Lee><phone:555-0100>Met at the show\r\n",
       ExpectedEntry{"ann", Link("ann@host"), "Ann Lee<br><br>Phone: 555-0100<br>",
                     "Met at the show"}},
      {"alias \"Ann Lee\" <ann@host> (Ann)\r\nnote \"Ann Lee\" <name:Ann>ok\r\n",
       ExpectedEntry{"Ann Lee", Link("ann@host"), "Ann<br><br>", "ok"}},
      {"alias \"Ann Lee\" ann@host (Ann)\r\n", ExpectedEntry{"Ann Lee", Link("ann@host")}},
      {"alias \"Ann Lee\" ann@host\r\n", ExpectedEntry{"Ann Lee", Link(" ann@host")}},
      {"alias team ann@host, bob@host\r\nnote team Hiking\r\n",
       ExpectedEntry{"team", Small("ann@host<br> bob@host"), "<br><br>", "Hiking"}},
      {"alias fam a@h" + M + "b@h\r\n", ExpectedEntry{"fam", Small("a@h<br>b@h")}},
      {"alias duo Ann <a@h>, Bob <b@h>\r\n",
       ExpectedEntry{"duo", Small("Ann &lt;a@h&gt;<br> Bob &lt;b@h&gt;")}},
      {"alias x a@h\r\nnote y <address:1 Elm" + M + "Town><fax:9>" + M + "call\r\n",
       ExpectedEntry{"x", Link("a@h"), "<br>1 Elm<br>Town<br>Fax: 9", "<br>call"}},
      {"alias x a@h\r\nnote y Call after six\r\n",
       ExpectedEntry{"x", Link("a@h"), "<br><br>", "Call after six"}},
      {"alias grace Grace Park\r\n", ExpectedEntry{"grace", "Grace Park"}},
      {"alias e \r\n", ExpectedEntry{"e", ""}},
      {"alias x a@h\r\nnote\r\n", ExpectedEntry{"x", Link("a@h")}},  // "note" alone: no note line
      {"alias x a@h\r\nnote x\r\n",
       ExpectedEntry{"x", Link("a@h"), "<br><br>", "note x"}},  // no separator: whole line
  };
  for (const EntryCase& c : cases) {
    SCOPED_TRACE(c.lines);
    window_ = test::RecordingWindow();
    ASSERT_EQ(Convert(c.lines), test::RunOutcome::kConverted) << window_.messages.front();
    EXPECT_EQ(Page(), test::ExpectedHeader(Title(), test::kRunDateText) +
                          test::ExpectedRow(*c.row) +
                          test::ExpectedFooter(1, dir_.File("book.txt")));
  }
}

TEST_F(EntryRowTest, FormattingAndNoteFailuresAreReportedUnderTheirOperation) {
  const EntryCase cases[] = {
      {"alias a \"Ann Lee\" ann@host\r\n", std::nullopt,
       "Error  5: Invalid procedure call or argument\r\nProcedure: ExtractEmailAddress()"},
      {"alias a ann@host(Ann)\r\n", std::nullopt,
       "Error  5: Invalid procedure call or argument\r\nProcedure: ExtractEmailAddress()"},
      {"alias a a@h\r\nnote a <phone:555-0100\r\n", std::nullopt,
       "Error  5: Invalid procedure call or argument\r\nProcedure: ReadNoteLine()"},
      {"alias a a@h\r\nnote a <fax:1>" + std::string(32761, 'n') + "\r\n", std::nullopt,
       "Error  6: Overflow\r\nProcedure: ReadNoteLine()"},
      {"alias a a@h\r\nnote " + std::string(32761, 'n') + " x\r\n", std::nullopt,
       "Error  6: Overflow\r\nProcedure: cmdConvert_Click()"},  // separator at 32,767
      {"alias a x" + std::string(32766, ',') + "\r\n", std::nullopt,
       "Error  6: Overflow\r\nProcedure: MakeMultipleAddress()"},
      {"alias a " + std::string(32767, 'w') + "@\r\n", std::nullopt,
       "Error  6: Overflow\r\nProcedure: MultipleAddress()"},
  };
  for (const EntryCase& c : cases) {
    SCOPED_TRACE(c.lines.substr(0, 60));
    window_ = test::RecordingWindow();
    EXPECT_EQ(Convert(c.lines), test::RunOutcome::kFailed);
    ASSERT_EQ(window_.messages.size(), 1u);
    EXPECT_EQ(window_.messages[0], c.report);
    EXPECT_FALSE(test::Exists(PagePath()));
  }
}

}  // namespace
}  // namespace veltrana
