#include "contacts/text_index.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace veltrana {
namespace {

// Many texts, some alike but for one byte or their length, found again by
// their numbers through every growth of the table, and each added once.
TEST(TextIndex, FindsEveryTextByTheNumberItWasGiven) {
  for (const std::size_t reserved : {std::size_t{0}, std::size_t{5000}}) {
    std::vector<std::string> texts;
    // So many that some share the 32 bits of hash a slot keeps.
    for (int i = 0; i < 200000; ++i) texts.push_back("n" + std::to_string(i));
    texts.push_back("");
    texts.push_back(std::string(3, '\0'));
    texts.push_back(std::string(2, '\0'));
    TextIndex index;
    index.Reserve(reserved);
    EXPECT_EQ(index.Find("n0"), TextIndex::kNone);
    for (std::size_t i = 0; i < texts.size(); ++i) {
      ASSERT_EQ(index.Add(texts[i]), i);
      ASSERT_FALSE(index.Insert(texts[i])) << i;  // there already
    }
    ASSERT_EQ(index.size(), texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
      ASSERT_EQ(index.Find(texts[i]), i) << texts[i];
      ASSERT_EQ(index.KeyOf(i), texts[i]);
    }
    for (const std::string& absent :
         std::vector<std::string>{"n200000", "N1", "n-1", "n1 ", std::string(1, '\0')}) {
      EXPECT_EQ(index.Find(absent), TextIndex::kNone) << absent;
    }
    EXPECT_TRUE(index.Insert("n200000"));
    EXPECT_EQ(index.Find("n200000"), texts.size());
  }
}

}  // namespace
}  // namespace veltrana
