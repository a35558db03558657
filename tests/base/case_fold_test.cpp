#include "base/case_fold.h"

#include <gtest/gtest.h>

namespace veltrana {
namespace {

// The letters that fold and their neighbours that do not, and the whole
// byte range: 26 ASCII and 30 Latin-1 capitals fold, once, and nothing else.
TEST(CaseFold, CapitalsFoldAndEveryOtherByteIsItself) {
  struct Case {
    unsigned char byte, folded;
  };
  for (const Case c :
       {Case{'A', 'a'}, Case{'Z', 'z'}, Case{'@', '@'}, Case{'[', '['}, Case{'a', 'a'},
        Case{0x00, 0x00}, Case{0xBF, 0xBF}, Case{0xC0, 0xE0}, Case{0xD6, 0xF6}, Case{0xD7, 0xD7},
        Case{0xD8, 0xF8}, Case{0xDE, 0xFE}, Case{0xDF, 0xDF}, Case{0xE0, 0xE0}, Case{0xFF, 0xFF}}) {
    EXPECT_EQ(FoldCase(static_cast<char>(c.byte)), c.folded) << int(c.byte);
  }
  int folding = 0;
  for (int byte = 0; byte < 256; ++byte) {
    const unsigned char folded = FoldCase(static_cast<char>(byte));
    if (folded != byte) {
      ++folding;
      EXPECT_EQ(folded, byte + 0x20) << byte;
    }
    EXPECT_EQ(FoldCase(static_cast<char>(folded)), folded) << byte;
  }
  EXPECT_EQ(folding, 56);
  EXPECT_LT(CompareIgnoringCase("\xC9lan", "\xE9lao"), 0);
  EXPECT_EQ(FoldedCopy("ANN \xC9\xD7"), "ann \xE9\xD7");
}

}  // namespace
}  // namespace veltrana
