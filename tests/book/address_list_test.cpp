#include "book/address_list.h"

#include <gtest/gtest.h>

namespace veltrana {
namespace {

TEST(SplitAddressList, SeparatesOnlyWhereTheMailClientDoes) {
  const struct {
    std::string text;
    std::vector<std::string> items;
  } cases[] = {
      {"a@x, b@y", {"a@x", "b@y"}},
      {"\"Lee, Ann\" <a@x>, b@y", {"\"Lee, Ann\" <a@x>", "b@y"}},
      {"a@x (Lee, Ann), b@y", {"a@x (Lee, Ann)", "b@y"}},
      {"a@x (x (y, z) w), b@y", {"a@x (x (y, z) w)", "b@y"}},
      {"<odd,one@x>, c@y", {"<odd,one@x>", "c@y"}},
      {"\"a\\\", b\" <q@x>, c@y", {"\"a\\\", b\" <q@x>", "c@y"}},
      {"a@x\x03 b@y\x03", {"a@x", "b@y"}},
      {"a@x,, ,\t,b@y,", {"a@x", "b@y"}},
      {"", {}},
      {" , ,", {}},
      // Unbalanced: what is open runs to the end of the item; a line break
      // ends it all the same; a closer without an opener is text.
      {"\"unclosed, a@x, b@y", {"\"unclosed, a@x, b@y"}},
      {"(unclosed, a@x", {"(unclosed, a@x"}},
      {"<unclosed, a@x", {"<unclosed, a@x"}},
      {"\"open, a\x03"
       "b@y",
       {"\"open, a", "b@y"}},
      {"\"esc\\\x03"
       "b@y",
       {"\"esc\\", "b@y"}},
      {"a@x), b@y>, c@z\"", {"a@x)", "b@y>", "c@z\""}},
  };
  std::vector<std::string_view> reused;  // one text after another, as the contacts are read
  for (const auto& c : cases) {
    SplitAddressList(c.text, reused);
    EXPECT_EQ(std::vector<std::string>(reused.begin(), reused.end()), c.items) << c.text;
  }
}

TEST(ParseAddressItem, ReadsEveryFormTheMailClientWrites) {
  const struct {
    std::string item;
    std::vector<std::string> addresses;
    std::string real_name;
  } cases[] = {
      {"ann@host", {"ann@host"}, ""},
      {"<ann@host>", {"ann@host"}, ""},
      {"Ann Lee <ann@host>", {"ann@host"}, "Ann Lee"},
      {"\"Ann Lee\" <ann@host>", {"ann@host"}, "Ann Lee"},
      {"ann@host (Ann Lee)", {"ann@host"}, "Ann Lee"},
      {"<ann@host> (Ann Lee)", {"ann@host"}, "Ann Lee"},
      {"\"Ann\" (home) <ann@host>", {"ann@host"}, "Ann"},
      {"\"Lee, Ann \\\"Jo\\\"\" <ann@host>", {"ann@host"}, "Lee, Ann \"Jo\""},
      {"  Ann \t Lee   < ann@host >", {"ann@host"}, "Ann Lee"},
      {"ann@host (Ann (the elder) Lee)", {"ann@host"}, "Ann (the elder) Lee"},
      {"\"Ann Lee\" ann@host", {"ann@host"}, "Ann Lee"},
      {"a@host b@host", {"a@host", "b@host"}, ""},
      {"<a@host> <b@host>", {"a@host", "b@host"}, ""},
      // No address: a plain word or name, empty brackets.
      {"Grace Park", {}, "Grace Park"},
      {"grace", {}, "grace"},
      {"<>", {}, ""},
      {"()", {}, ""},
      // Unbalanced brackets and quotes never fail.
      {"<ann@host", {"ann@host"}, ""},
      {"Ann <ann@host (x", {"ann@host (x"}, "Ann"},
      {"ann@host (Ann", {"ann@host"}, "Ann"},
      {"\"Ann <ann@host>", {}, "Ann <ann@host>"},
      {"ann@host>", {"ann@host>"}, ""},
  };
  AddressItem reused;  // one item after another, as the contacts are read
  for (const auto& c : cases) {
    ParseAddressItem(c.item, reused);
    EXPECT_EQ(std::vector<std::string>(reused.addresses.begin(), reused.addresses.end()),
              c.addresses)
        << c.item;
    EXPECT_EQ(reused.real_name, c.real_name) << c.item;
  }
}

TEST(UnquotedItem, TakesOffOneEnclosingPairOfQuotes) {
  EXPECT_EQ(UnquotedItem("\"Carla Ruiz\""), "Carla Ruiz");
  EXPECT_EQ(UnquotedItem("carla"), "carla");
  EXPECT_EQ(UnquotedItem("\"a\" <b>"), "\"a\" <b>");
  EXPECT_EQ(UnquotedItem("\"a\" \"b\""), "\"a\" \"b\"");
  EXPECT_EQ(UnquotedItem("\""), "\"");
}

}  // namespace
}  // namespace veltrana
