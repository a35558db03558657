#include "base/text_positions.h"

#include <gtest/gtest.h>

#include "base/failure.h"

namespace veltrana {
namespace {

int CodeOf(void (*operation)()) {
  try {
    operation();
  } catch (const Failure& failure) {
    return failure.code();
  }
  return 0;
}

TEST(Int16, OverflowAndNegativeLengthsFailWithTheirCodes) {
  EXPECT_EQ(ToInt16(32767), 32767);
  EXPECT_EQ(ToInt16(-32768), -32768);
  EXPECT_EQ(CodeOf([] { ToInt16(32768); }), 6);
  EXPECT_EQ(CodeOf([] { Mid("abc", 1, -1); }), 5);
  EXPECT_EQ(CodeOf([] { Left("abc", -2); }), 5);
  EXPECT_EQ(CodeOf([] { Mid("abc", 0, 1); }), 5);
  EXPECT_EQ(CodeOf([] { InStr(1, std::string(32767, 'x') + "y", 'y'); }), 6);
  EXPECT_EQ(InStr(1, std::string(32766, 'x') + "y", 'y'), 32767);
}

TEST(Int16, TextOperationsUseOneBasedPositions) {
  EXPECT_EQ(InStr(1, "alias bob x", ' '), 6);
  EXPECT_EQ(InStr(7, "alias bob x", ' '), 10);
  EXPECT_EQ(InStr(12, "alias bob x", ' '), 0);  // past the end
  EXPECT_EQ(InStr(1, "abc", 'z'), 0);
  EXPECT_EQ(Mid("abcdef", 2, 3), "bcd");
  EXPECT_EQ(Mid("abcdef", 5, 10), "ef");
  EXPECT_EQ(Mid("abcdef", 9, 1), "");
  EXPECT_EQ(Mid("abcdef", 4), "def");
  EXPECT_EQ(Left("abcdef", 0), "");
}

}  // namespace
}  // namespace veltrana
