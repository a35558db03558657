#include <gtest/gtest.h>

#include "book/contact_book.h"
#include "formats/vcard_line.h"
#include "formats/vcard_writer.h"

namespace veltrana {
namespace {

// A value escaped after what the card already holds.
std::string EscapeVCardText(std::string_view text, bool semicolon = true) {
  std::string card = "FN:";
  AppendEscapedVCardText(text, semicolon, card);
  return card.substr(3);
}

// A content line ended after the lines before it.
std::string FoldedVCardLine(std::string_view line) {
  std::string card = "BEGIN:VCARD\r\n";
  const std::size_t start = card.size();
  card.append(line);
  EndVCardLine(card, start);
  return card.substr(start);
}

TEST(EscapeVCardText, EscapesWhatSeparatesValues) {
  EXPECT_EQ(EscapeVCardText("a\\b;c,d\ne"), "a\\\\b\\;c\\,d\\ne");
  EXPECT_EQ(EscapeVCardText("plain: text"), "plain: text");
  // Plain text is copied a run at a time: specials at the ends, side by
  // side, and alone.
  EXPECT_EQ(EscapeVCardText(";x,"), "\\;x\\,");
  EXPECT_EQ(EscapeVCardText("\r\n\\,;"), "\\n\\\\\\,\\;");
  EXPECT_EQ(EscapeVCardText("\r"), "");
  EXPECT_EQ(EscapeVCardText("caf\xC3\xA9;", false), "caf\xC3\xA9;");
  EXPECT_EQ(EscapeVCardText(""), "");
}

// Undoes the folding: the lines, and whether each fits 75 octets.
std::string Unfolded(const std::string& folded, bool& fits, bool& splits_a_character) {
  std::string line;
  fits = true;
  splits_a_character = false;
  std::size_t start = 0;
  while (start < folded.size()) {
    const std::size_t end = folded.find("\r\n", start);
    const std::string_view physical(folded.data() + start, end - start);
    fits = fits && physical.size() <= 75;
    const std::string_view content = start == 0 ? physical : physical.substr(1);
    if (!content.empty() && (static_cast<unsigned char>(content.front()) & 0xC0) == 0x80) {
      splits_a_character = true;
    }
    line.append(content);
    start = end + 2;
  }
  return line;
}

TEST(FoldedVCardLine, FoldsAt75OctetsWithoutSplittingACharacter) {
  const std::string euro = "\xE2\x82\xAC";
  for (const std::string& piece :
       {std::string("a"), std::string("\xC3\xA9"), euro, std::string("\xF0\x9F\x93\xA7")}) {
    for (std::size_t count = 0; count < 160; ++count) {
      std::string line = "NOTE:";
      for (std::size_t i = 0; i < count; ++i) line += piece;
      const std::string folded = FoldedVCardLine(line);
      bool fits = false, splits = false;
      EXPECT_EQ(Unfolded(folded, fits, splits), line);
      EXPECT_TRUE(fits) << line;
      EXPECT_FALSE(splits) << line;
      EXPECT_EQ(folded.substr(folded.size() - 2), "\r\n");
    }
  }
  const std::string exact(75, 'x'), over(76, 'x');
  EXPECT_EQ(FoldedVCardLine(exact), exact + "\r\n");
  EXPECT_EQ(FoldedVCardLine(over), exact + "\r\n x\r\n");
  EXPECT_EQ(FoldedVCardLine(std::string(74, 'x') + euro),
            std::string(74, 'x') + "\r\n " + euro + "\r\n");
}

const char* const kBook =
    "alias ann \"Ann Lee\" <ann@x.example>\r\n"
    "note ann <address:1 Elm St\x03"
    "Flat 2><city:Springfield><zip:62704><phone:555-0100>"
    "<mobile:555-0101><web:http://ann.example/><title:Chief, R&D><company:Acme; Sons>"
    "<birthday:3 May>Likes jazz\r\n"
    "alias bob bob@x.example\r\n"
    "alias team ann, bob\r\n"
    "note team <name:The Team>\r\n";

std::string AllCards(VCardVersion version) {
  const ContactBook book = ReadContactBooks({{"", kBook}}, Charset::kWindows1252);
  std::string cards;
  WriteVCards(book, version, [&](std::string_view card) { cards += card; });
  return cards;
}

TEST(VCardOf, Version30WritesAListAsItsMembersAddresses) {
  EXPECT_EQ(AllCards(VCardVersion::k30),
            "BEGIN:VCARD\r\n"
            "VERSION:3.0\r\n"
            "UID:d40df4e3-8f24-87a0-97e4-b03f57192ed5\r\n"
            "FN:Ann Lee\r\n"
            "N:Lee;Ann;;;\r\n"
            "NICKNAME:ann\r\n"
            "EMAIL;TYPE=INTERNET,PREF:ann@x.example\r\n"
            "TEL;TYPE=HOME,VOICE:555-0100\r\n"
            "TEL;TYPE=CELL,VOICE:555-0101\r\n"
            "ADR;TYPE=HOME:;;1 Elm St\\nFlat 2;Springfield;;62704;\r\n"
            "URL;TYPE=HOME:http://ann.example/\r\n"
            "TITLE:Chief\\, R&D\r\n"
            "ORG:Acme\\; Sons\r\n"
            "NOTE:birthday: 3 May\\nLikes jazz\r\n"
            "END:VCARD\r\n"
            "BEGIN:VCARD\r\n"
            "VERSION:3.0\r\n"
            "UID:ecf66be3-9cf1-81cc-bb95-093f46671719\r\n"
            "FN:bob\r\n"
            "N:;;;;\r\n"
            "NICKNAME:bob\r\n"
            "EMAIL;TYPE=INTERNET,PREF:bob@x.example\r\n"
            "END:VCARD\r\n"
            "BEGIN:VCARD\r\n"
            "VERSION:3.0\r\n"
            "UID:d14bae10-38ca-8954-ba44-a3ef9b044917\r\n"
            "FN:The Team\r\n"
            "N:;;;;\r\n"
            "NICKNAME:team\r\n"
            "EMAIL;TYPE=INTERNET,PREF:ann@x.example\r\n"
            "EMAIL;TYPE=INTERNET:bob@x.example\r\n"
            "END:VCARD\r\n");
}

}  // namespace
}  // namespace veltrana
