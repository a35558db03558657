#include "page/text_ops.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "base/failure.h"
#include "base/first_occurrence.h"

namespace veltrana {
namespace {

const std::string M(1, '\x03');  // the line-break marker

// The loops exactly as the program describes them: find the first
// occurrence from the first character, rewrite, search again. Positions are
// 16-bit, and the position after a replaced occurrence is computed too.
std::string LiteralReplaceLoop(std::string text, char target, const std::string& replacement,
                               bool drop_at_end, bool& overflowed) {
  overflowed = false;
  for (std::size_t found = text.find(target); found != std::string::npos;
       found = text.find(target)) {
    const long long p = static_cast<long long>(found) + 1;
    const bool last = found + 1 == text.size();
    if (drop_at_end && last) {
      if (p > 32767) {
        overflowed = true;
        return text;
      }
      text.pop_back();
    } else {
      if (p + 1 > 32767) {
        overflowed = true;
        return text;
      }
      text = text.substr(0, found) + replacement + text.substr(found + 1);
    }
  }
  return text;
}

struct TextCase {
  std::string input;
  std::string expected;
};

TEST(ReplaceChr3, TurnsMarkersIntoLineBreaksAndDropsAFinalMarker) {
  const TextCase cases[] = {
      {"one" + M + "two", "one<br>two"},
      {"ends" + M, "ends"},
      {"ends" + M + M, "ends<br>"},
      {M, ""},
      {"", ""},
      {M + M + M, "<br><br>"},
      {"no markers", "no markers"},
  };
  ConverterState state = LoadedConverterState();
  for (const TextCase& c : cases) {
    std::string text = c.input;
    EXPECT_EQ(ReplaceChr3(state, text), c.expected) << c.input;
    EXPECT_EQ(text, c.expected) << "the argument holds the result too";
    EXPECT_EQ(state.proc, "Form_Load()") << "the caller's name is back";
  }
}

TEST(StripBrackets, EscapesAngleBracketsOnlyAndIsIdempotent) {
  const TextCase cases[] = {
      {"<name:", "&lt;name:"},
      {"a>b<c", "a&gt;b&lt;c"},
      {"Tom & Jerry \"x\"", "Tom & Jerry \"x\""},
      {"", ""},
      {"&lt;kept", "&lt;kept"},
      {"<<>>", "&lt;&lt;&gt;&gt;"},
  };
  ConverterState state = LoadedConverterState();
  for (const TextCase& c : cases) {
    std::string text = c.input;
    EXPECT_EQ(StripBrackets(state, text), c.expected) << c.input;
    EXPECT_EQ(StripBrackets(state, text), c.expected) << "twice equals once: " << c.input;
    EXPECT_EQ(state.proc, "Form_Load()") << "the caller's name is back";
  }
}

// Positions are 16-bit: a marker that is not the last character overflows
// from position 32,767 on, a final marker only beyond it. Each replacement
// before it moves it three characters on.
TEST(ReplaceChr3, OverflowsAtThe16BitPositionLimit) {
  struct LimitCase {
    std::string text;
    bool overflows;
  };
  const LimitCase cases[] = {
      {std::string(32765, 'x') + M + "y", false},     // marker at 32,766
      {std::string(32766, 'x') + M + "y", true},      // marker at 32,767, not last
      {std::string(32766, 'x') + M, false},           // last, at 32,767
      {std::string(32767, 'x') + M, true},            // last, at 32,768
      {M + std::string(32762, 'x') + M + "y", true},  // 32,764 moved to 32,767
  };
  ConverterState state = LoadedConverterState();
  for (const LimitCase& c : cases) {
    std::string text = c.text;
    if (c.overflows) {
      try {
        ReplaceChr3(state, text);
        ADD_FAILURE() << "no overflow for a text of " << c.text.size();
      } catch (const Failure& failure) {
        EXPECT_EQ(failure.code(), 6);
        EXPECT_EQ(state.proc, "ReplaceChr3()");
      }
    } else {
      EXPECT_NO_THROW(ReplaceChr3(state, text)) << c.text.size();
    }
  }
}

TEST(StripBrackets, OverflowsForABracketAtPosition32767EvenWhenLast) {
  ConverterState state = LoadedConverterState();
  std::string fits = std::string(32765, 'x') + "<";
  EXPECT_NO_THROW(StripBrackets(state, fits));
  std::string last = std::string(32766, 'x') + ">";
  EXPECT_THROW(StripBrackets(state, last), Failure);
}

// The one-pass rewrite gives what the literal loop gives, text and failure
// alike, including the partly rewritten argument after a failure.
TEST(ReplaceEachFirstOccurrence, AgreesWithTheLiteralLoop) {
  std::mt19937 random(20261207);
  const std::string alphabet = std::string("ab<>,") + '\x03';
  for (int round = 0; round < 400; ++round) {
    const std::size_t length = round % 4 == 0 ? 32750 + random() % 40 : random() % 40;
    std::string text;
    for (std::size_t i = 0; i < length; ++i) {
      // Long texts are mostly plain, so the limit is met near its edge.
      const bool special = length < 100 || random() % 2000 == 0 || i + 3 >= length;
      text += special ? alphabet[random() % alphabet.size()] : 'a';
    }
    struct Loop {
      char target;
      std::string replacement;
      AtTextEnd at_end;
    };
    const Loop loops[] = {{'\x03', "<br>", AtTextEnd::kDrop},
                          {'<', "&lt;", AtTextEnd::kReplace},
                          {',', "\x03", AtTextEnd::kDrop}};
    for (const Loop& loop : loops) {
      bool overflowed = false;
      const std::string expected = LiteralReplaceLoop(text, loop.target, loop.replacement,
                                                      loop.at_end == AtTextEnd::kDrop, overflowed);
      std::string actual = text;
      bool threw = false;
      try {
        ReplaceEachFirstOccurrence(actual, loop.target, loop.replacement, loop.at_end);
      } catch (const Failure& failure) {
        threw = failure.code() == 6;
      }
      ASSERT_EQ(threw, overflowed) << "round " << round << " target " << int(loop.target);
      ASSERT_EQ(actual, expected) << "round " << round << " target " << int(loop.target);
    }
  }
}

}  // namespace
}  // namespace veltrana
