#include "book/text_store.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace veltrana {
namespace {

// A view handed out stays the text it was, however many come after it,
// a text longer than a block among them.
TEST(TextStore, KeptTextsNeverMove) {
  TextStore store;
  std::vector<std::string_view> kept;
  std::vector<std::string> texts;
  for (int i = 0; i < 30000; ++i) {
    texts.push_back(i == 777 ? std::string(200000, 'x') : "text " + std::to_string(i));
    kept.push_back(store.Keep(texts.back()));
  }
  for (std::size_t i = 0; i < texts.size(); ++i) ASSERT_EQ(kept[i], texts[i]) << i;
  EXPECT_TRUE(store.Keep("").empty());
}

// A text taken over whole (a book's) stays where it is, a short one too,
// whose bytes a string holds inside itself: as more come and when the store
// itself moves, as the books read move to their caller.
TEST(TextStore, AdoptedTextsStayWhereTheyAre) {
  TextStore store;
  std::vector<std::string_view> adopted;
  for (int i = 0; i < 100; ++i) adopted.push_back(store.Adopt("book " + std::to_string(i)));
  const std::string_view long_one = store.Adopt(std::string(100000, 'b'));
  const TextStore moved = std::move(store);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(adopted[i], "book " + std::to_string(i));
  EXPECT_EQ(long_one, std::string(100000, 'b'));
}

}  // namespace
}  // namespace veltrana
