#include "form/key_string.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "form/form_layout.h"

namespace veltrana {
namespace {

KeyPress Key(KeyName key, bool shift = false, bool control = false, bool alt = false) {
  return {key, 0, shift, control, alt};
}
KeyPress Char(char c, bool shift = false, bool control = false, bool alt = false) {
  return {KeyName::kCharacter, c, shift, control, alt};
}

TEST(KeyString, NamesCharactersAndTheKeysHeldForTheNextOne) {
  const struct {
    std::string text;
    std::vector<KeyPress> keys;
  } cases[] = {
      {"{home}+{end}", {Key(KeyName::kHome), Key(KeyName::kEnd, true)}},
      {"{HOME}{End}", {Key(KeyName::kHome), Key(KeyName::kEnd)}},
      {"^a%b+^%{del}",
       {Char('a', false, true), Char('b', false, false, true),
        Key(KeyName::kDelete, true, true, true)}},
      {"{bs}{backspace}{esc}{enter}{tab}",
       {Key(KeyName::kBackspace), Key(KeyName::kBackspace), Key(KeyName::kEscape),
        Key(KeyName::kEnter), Key(KeyName::kTab)}},
      {"+{nonsense}x", {Char('x')}},  // an unknown name takes its Shift along
      {"a{end", {Char('a')}},         // an unclosed brace ends the string
      {"", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseKeyString(c.text), c.keys);
  }
}

TEST(FormLayout, ACaptionWiderThanItsPlaceGrowsToTheLeftUpToTheEdge) {
  const struct {
    int left, width, text_width;
    CaptionSpan span;
  } cases[] = {
      {16, 73, 60, {16, 73}},  // fits: as laid out
      {16, 73, 80, {9, 80}},   // wider: the right edge stays at 89
      {16, 73, 200, {0, 89}},  // no further than the window's edge
  };
  for (const auto& c : cases) {
    const CaptionSpan span = GrownCaption(c.left, c.width, c.text_width);
    EXPECT_EQ(span.left, c.span.left) << c.text_width;
    EXPECT_EQ(span.width, c.span.width) << c.text_width;
  }
  EXPECT_EQ(FormControl("cmdView").caption, "&View");
  EXPECT_EQ(FormControl("cbxAddressBook").place.width, 4575);
}

}  // namespace
}  // namespace veltrana
