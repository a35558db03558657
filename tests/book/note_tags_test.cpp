#include "book/note_tags.h"

#include <gtest/gtest.h>

namespace veltrana {
namespace {

// The parts as one text: a tag as "[keyword=value]", free text as "{text}".
std::string Parts(std::string_view note) {
  std::string shown;
  std::vector<NotePart> parts;
  ParseNoteText(note, parts);
  for (const NotePart& part : parts) {
    const std::string text(part.text);
    shown += part.is_tag ? "[" + std::string(part.keyword) + "=" + text + "]" : "{" + text + "}";
  }
  return shown;
}

TEST(ParseNoteText, KeepsEveryTagAndEveryPieceOfText) {
  const struct {
    std::string note;
    std::string parts;
  } cases[] = {
      {"<name:Ann Lee><phone:555-0100>Met at the show",
       "[name=Ann Lee][phone=555-0100]{Met at the show}"},
      {"hi <name:Ann> mid <fax:1>end", "{hi }[name=Ann]{ mid }[fax=1]{end}"},
      {"<address:12 Elm St\x03Springfield>", "[address=12 Elm St\x03Springfield]"},
      {"<otheremail:a@x\x03"
       "b@y><web2:w>",
       "[otheremail=a@x\x03"
       "b@y][web2=w]"},
      {"<birthday:3 May><x-custom_1:v>", "[birthday=3 May][x-custom_1=v]"},
      {"<Name:Ann>rest", "[Name=Ann]{rest}"},
      {"<fax:>", "[fax=]"},
      {"<phone:1><phone:2>zz", "[phone=1][phone=2]{zz}"},
      {"", ""},
      {"Call after six", "{Call after six}"},
      // Not tags: no keyword, no colon after it, a link.
      {"office hours 9-5 <not weekends>", "{office hours 9-5 <not weekends>}"},
      {"see <http://a.example/x> now", "{see <http://a.example/x> now}"},
      {"<:x> <a b:c> a<b", "{<:x> <a b:c> a<b}"},
      {"<<name:x>>", "{<}[name=x]{>}"},
      // A value runs to the next ">"; a tag without one to the end.
      {"<name:Bo <fax:12>rest", "[name=Bo <fax:12]{rest}"},
      {"<phone:555-0100", "[phone=555-0100]"},
      {"text <name:", "{text }[name=]"},
      {"<name", "{<name}"},
  };
  for (const auto& c : cases) EXPECT_EQ(Parts(c.note), c.parts) << c.note;
}

TEST(ParseNoteText, LongNotesAreReadInOnePass) {
  std::string note;
  for (int i = 0; i < 20000; ++i) note += "<t" + std::to_string(i % 7) + ":v>x<";
  std::vector<NotePart> parts;
  ParseNoteText(note, parts);
  ASSERT_EQ(parts.size(), 40000u);  // a tag and the free text "x<" each time
  EXPECT_EQ(parts.back().text, "x<");
  ParseNoteText(std::string(100000, '<'), parts);
  EXPECT_EQ(parts.size(), 1u);
}

TEST(ParseNoteText, AReusedListHoldsOnlyTheLastNote) {
  std::vector<NotePart> parts;
  ParseNoteText("<name:Ann><fax:1>free", parts);
  ParseNoteText("<phone:2>", parts);
  ASSERT_EQ(parts.size(), 1u);
  EXPECT_EQ(parts[0].keyword, "phone");
  EXPECT_EQ(parts[0].text, "2");
  ParseNoteText("", parts);
  EXPECT_TRUE(parts.empty());
}

}  // namespace
}  // namespace veltrana
