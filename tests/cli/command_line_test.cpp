#include "cli/command_line.h"

#include <gtest/gtest.h>

#include "cli/console_window.h"
#include "page/page_writer.h"

namespace veltrana {
namespace {

using Action = CommandLine::Action;

TEST(ParseCommandLine, TakesOneAddressBookExactlyAsGiven) {
  const struct {
    std::vector<std::string> arguments;
    Action action;
    std::string address_book;
  } cases[] = {
      {{"book.txt"}, Action::kConvert, "book.txt"},
      {{" spaced name.txt "}, Action::kConvert, " spaced name.txt "},
      {{""}, Action::kConvert, ""},
      {{"--", "-dash.txt"}, Action::kConvert, "-dash.txt"},
      {{"-"}, Action::kConvert, "-"},
      {{"--help"}, Action::kHelp, ""},
      {{"book.txt", "--version"}, Action::kVersion, ""},
      {{}, Action::kUsageError, ""},
      {{"a.txt", "b.txt"}, Action::kUsageError, ""},
      {{"--frobnicate", "a.txt"}, Action::kUsageError, ""},
  };
  for (const auto& c : cases) {
    const CommandLine command = ParseCommandLine(c.arguments, nullptr);
    EXPECT_EQ(command.action, c.action) << ::testing::PrintToString(c.arguments);
    EXPECT_EQ(command.address_book, c.address_book);
    EXPECT_FALSE(command.date.has_value());
  }
}

TEST(ParseCommandLine, SettingsDirTakesAFolder) {
  EXPECT_EQ(ParseCommandLine({"--settings-dir", "s", "b.txt"}, nullptr).settings_dir, "s");
  EXPECT_EQ(ParseCommandLine({"--settings-dir=s d", "b.txt"}, nullptr).settings_dir, "s d");
  EXPECT_FALSE(ParseCommandLine({"b.txt"}, nullptr).settings_dir.has_value());
  EXPECT_EQ(ParseCommandLine({"b.txt", "--settings-dir"}, nullptr).action, Action::kUsageError);
}

TEST(ParseCommandLine, SourceDateEpochGivesTheUtcDate) {
  const CommandLine command = ParseCommandLine({"b.txt"}, "857520000");  // 1997-03-05
  ASSERT_TRUE(command.date.has_value());
  EXPECT_EQ(PageDateText(*command.date), "05-Mar-1997");
  EXPECT_FALSE(ParseCommandLine({"b.txt"}, "").date.has_value());
  for (const char* bad : {"soon", "-5", "12x", "99999999999999999999999"}) {
    EXPECT_EQ(ParseCommandLine({"b.txt"}, bad).action, Action::kUsageError) << bad;
  }
}

TEST(ConsoleText, PrintsCrLfAsNewline) {
  EXPECT_EQ(ConsoleText("Done.  1 Nicknames converted to:\r\n/x.htm"),
            "Done.  1 Nicknames converted to:\n/x.htm");
  EXPECT_EQ(ConsoleText("lone\rcr\nlf"), "lone\rcr\nlf");
}

}  // namespace
}  // namespace veltrana
