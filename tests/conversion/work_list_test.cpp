#include "conversion/work_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace veltrana {
namespace {

std::vector<std::string> Sorted(const std::vector<std::string>& added) {
  NicknameWorkList list;
  for (const std::string& nickname : added) list.Append(nickname);
  std::vector<std::string> out;
  for (std::size_t i = 0; i < list.Count(); ++i) out.emplace_back(list.Item(i));
  return out;
}

TEST(NicknameWorkList, SortsIgnoringCaseAndKeepsEqualKeysInOrderOfAdding) {
  const struct {
    std::vector<std::string> added;
    std::vector<std::string> sorted;
  } cases[] = {
      {{"bob", "Alice", "carol"}, {"Alice", "bob", "carol"}},
      {{"bob", "Bob", "BOB", "bob"}, {"bob", "Bob", "BOB", "bob"}},
      {{"Bob", "ann", "bob"}, {"ann", "Bob", "bob"}},
      {{"b", "a", "b", "a"}, {"a", "a", "b", "b"}},
      // Latin-1 letters: \xC9 is E-acute, \xE9 its lower case; \xD7 (the
      // multiplication sign) is no letter and keeps its place.
      {{"\xE9z",
        "\xC9"
        "a",
        "\xD7", "\xF7"},
       {"\xD7",
        "\xC9"
        "a",
        "\xE9z", "\xF7"}},
      {{"ab", "a", "A"}, {"a", "A", "ab"}},
      {{"_x", "a"}, {"_x", "a"}},
      // Beyond the first eight bytes, which the list compares first, the
      // rest still decides, letter case ignored.
      {{"johnsmithz", "JohnSmithA", "johnsmit"}, {"johnsmit", "JohnSmithA", "johnsmithz"}},
      {{"abcdefghB", "ABCDEFGHa", "abcdefgh"}, {"abcdefgh", "ABCDEFGHa", "abcdefghB"}},
      {{"abcdefgh_x", "abcdefgh.x", "ABCDEFGH-x", "abcdefgh x", "abcdefgh"},
       {"abcdefgh", "abcdefgh x", "ABCDEFGH-x", "abcdefgh.x", "abcdefgh_x"}},
      {{"longnickname2", "LongNickname10", "longnickname1"},
       {"longnickname1", "LongNickname10", "longnickname2"}},
      {{"abcdefgh\xE9z",
        "ABCDEFGH\xC9"
        "a",
        "abcdefgh\xD7"},
       {"abcdefgh\xD7",
        "ABCDEFGH\xC9"
        "a",
        "abcdefgh\xE9z"}},
      // Equal beyond the prefix too: the order of adding.
      {{"SameLongName", "samelongname", "SAMELONGNAME"},
       {"SameLongName", "samelongname", "SAMELONGNAME"}},
      {{}, {}},
  };
  for (const auto& c : cases) EXPECT_EQ(Sorted(c.added), c.sorted);
}

TEST(NicknameWorkList, ClearEmptiesTheList) {
  NicknameWorkList list;
  list.Append("z");
  list.Append("a");
  list.Clear();
  EXPECT_EQ(list.Count(), 0u);
  list.Append("m");
  EXPECT_EQ(list.Item(0), "m");
}

}  // namespace
}  // namespace veltrana
