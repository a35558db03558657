// The page run and the export read the nickname file each its own way, on
// the vocabulary they share; on well-formed lines they must agree.
#include "base/nickname_file.h"

#include <gtest/gtest.h>

#include <string>

#include "book/nickname_book.h"
#include "conversion/alias_line.h"

namespace veltrana {
namespace {

TEST(NicknameFile, ThePageAndTheExportCutWellFormedLinesAlike) {
  const std::string quote(1, kNicknameQuote);
  const struct {
    std::string line;
    bool alias;  // otherwise a note line
    std::string nickname;
    std::string rest;  // the address text or the note text
  } cases[] = {
      {"alias bob bob@example.com", true, "bob", "bob@example.com"},
      {"alias \"Ann Lee\" ann@example.com", true, "Ann Lee", " ann@example.com"},
      {"alias team ann, bob,carl", true, "team", "ann, bob,carl"},
      {"alias x a@example.com\x03"
       "b@example.com",
       true, "x",
       "a@example.com\x03"
       "b@example.com"},
      {"alias bob Bob Smith <bob@example.com>", true, "bob", "Bob Smith <bob@example.com>"},
      {"alias longnickname12 a@example.com", true, "longnickname12", "a@example.com"},
      {"note bob <name:Bob Smith><phone:555 0101>plays chess", false, "bob",
       "<name:Bob Smith><phone:555 0101>plays chess"},
      {"note \"Ann Lee\" <address:1 Main St\x03Springfield>", false, "Ann Lee",
       " <address:1 Main St\x03Springfield>"},
      {"note x free text only", false, "x", "free text only"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(IsAliasLine(c.line), c.alias);
    EXPECT_EQ(IsNoteLine(c.line), !c.alias);

    // The page run's cuts.
    if (c.alias) {
      EXPECT_EQ(CutNickname(c.line, quote).nickname, c.nickname);
      EXPECT_EQ(CutAddressText(c.line, quote), c.rest);
    } else {
      EXPECT_EQ(CutNoteText(c.line, quote), c.rest);
    }

    // The export's.
    const std::string text = c.line + "\r\n";  // the records hold views into it
    const NicknameBook book = ReadNicknameBook(text);
    ASSERT_EQ(book.records.size(), 1u);
    EXPECT_TRUE(book.warnings.empty());
    EXPECT_EQ(book.records[0].nickname, c.nickname);
    const NicknameLines texts = c.alias ? book.AddressTexts(0) : book.NoteTexts(0);
    EXPECT_EQ(std::vector<std::string_view>(texts.begin(), texts.end()),
              std::vector<std::string_view>{c.rest});
  }
}

// A nickname's lines wherever they stand, among other nicknames' lines and
// in any letter case: its alias lines' texts in file order, then its note
// lines', each kind apart; the line ends of either system.
TEST(NicknameFile, ARecordGathersItsLinesFromAllOverTheBook) {
  for (const char* end : {"\r\n", "\n", "\r"}) {
    const std::string text = std::string("alias ann a1@x") + end + "note bob b-note" + end +
                             "note ANN first" + end + "alias bob b@x" + end + "alias Ann a2@x" +
                             end + "note ann second" + end + "alias ann a3@x";
    const NicknameBook book = ReadNicknameBook(text);
    ASSERT_EQ(book.records.size(), 2u) << end;
    const auto all = [](NicknameLines lines) {
      return std::vector<std::string_view>(lines.begin(), lines.end());
    };
    EXPECT_EQ(all(book.AddressTexts(0)), (std::vector<std::string_view>{"a1@x", "a2@x", "a3@x"}));
    EXPECT_EQ(all(book.NoteTexts(0)), (std::vector<std::string_view>{"first", "second"}));
    EXPECT_EQ(all(book.AddressTexts(1)), std::vector<std::string_view>{"b@x"});
    EXPECT_EQ(all(book.NoteTexts(1)), std::vector<std::string_view>{"b-note"});
    EXPECT_EQ(book.index.at("ann"), 0u);
    EXPECT_EQ(book.index.at("bob"), 1u);
  }
}

TEST(NicknameFile, OnlyTheKeywordsExactlyMakeAliasAndNoteLines) {
  for (const char* line : {"Alias bob b@h", "aliasbob b@h", " alias bob b@h", "NOTE bob x",
                           "notebook x", "alias", "note", ""}) {
    SCOPED_TRACE(line);
    EXPECT_FALSE(IsAliasLine(line));
    EXPECT_FALSE(IsNoteLine(line));
    EXPECT_TRUE(ReadNicknameBook(line).records.empty());
  }
}

}  // namespace
}  // namespace veltrana
