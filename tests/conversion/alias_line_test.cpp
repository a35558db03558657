#include "conversion/alias_line.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "base/failure.h"

namespace veltrana {
namespace {

struct NicknameCase {
  std::string line;
  std::optional<std::string> nickname;  // none: the line fails
  int code = 0;
  std::string address;
};

TEST(ExtractNickname, CutsQuotedAndUnquotedNicknamesAndFailsWithoutTheirEnd) {
  const NicknameCase cases[] = {
      {"alias bob addr", "bob", 0, "addr"},
      {"alias \"Jane Doe\" addr", "Jane Doe", 0, " addr"},
      {"alias \"\" addr", "", 0, " addr"},
      {"alias bob ", "bob", 0, ""},                    // trailing blank: empty address
      {"alias bob", std::nullopt, 5, ""},              // nickname alone
      {"alias ", std::nullopt, 5, ""},                 // nothing after the keyword
      {"alias \"Jane Doe addr", std::nullopt, 5, ""},  // no closing quote
      {"alias b c", "b", 0, "c"},
      {"alias x  two blanks", "x", 0, " two blanks"},
      {std::string("alias n\0ul x", 12), std::string("n\0ul", 4), 0, "x"},
  };
  for (const NicknameCase& c : cases) {
    ConverterState state = LoadedConverterState();
    state.a = c.line;
    if (c.nickname) {
      ExtractNickname(state);
      EXPECT_EQ(state.nickname, *c.nickname) << c.line;
      EXPECT_EQ(CutAddressText(c.line, state.quote), c.address) << c.line;
      EXPECT_EQ(state.proc, "Form_Load()") << "the caller's name is back";
    } else {
      try {
        ExtractNickname(state);
        ADD_FAILURE() << "no failure for " << c.line;
      } catch (const Failure& failure) {
        EXPECT_EQ(failure.code(), c.code) << c.line;
      }
      EXPECT_EQ(state.proc, "ExtractNickname()") << "a failure names it";
    }
  }
}

TEST(ExtractNickname, NicknameEndPositionsAreSixteenBit) {
  ConverterState state = LoadedConverterState();
  // The blank at 32,767 still fits: the nickname is cut, the address is not.
  state.a = "alias " + std::string(32760, 'n') + " rest";
  ExtractNickname(state);
  EXPECT_EQ(state.nickname.size(), 32760u);
  EXPECT_THROW(static_cast<void>(CutAddressText(state.a, state.quote)), Failure);
  // At 32,768 the nickname itself cannot be cut.
  state.a = "alias " + std::string(32761, 'n') + " rest";
  try {
    ExtractNickname(state);
    ADD_FAILURE() << "no overflow";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.code(), 6);
  }
}

TEST(CutNoteText, TakesTheTextAfterTheNickname) {
  const std::pair<std::string, std::string> cases[] = {
      {"note bob <name:Bob>", "<name:Bob>"},
      {"note \"Jane Doe\" <name:Jane>", " <name:Jane>"},
      {"note bob", "note bob"},  // no separator: the whole line
      {"note a b c", "b c"},     // separator searched from the 7th character
      {"note  x", "note  x"},    // a blank at the 6th does not count
  };
  for (const auto& [line, note] : cases) {
    EXPECT_EQ(CutNoteText(line, "\""), note) << line;
  }
}

}  // namespace
}  // namespace veltrana
