#include "contacts/text_store.h"

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

}  // namespace
}  // namespace veltrana
