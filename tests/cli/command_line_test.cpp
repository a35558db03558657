#include "cli/command_line.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "cli/console_view.h"
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
  const struct {
    const char* epoch;
    const char* date;  // nothing: a usage error naming the variable
  } cases[] = {
      {"-5", "31-Dec-1969"},
      {"-62135596800", "01-Jan-0001"},
      {"253402300799", "31-Dec-9999"},
      {"-62135596801", nullptr},
      {"253402300800", nullptr},  // year 10000
      {"203402300800000", nullptr},
      {"99999999999999999999999", nullptr},
      {"soon", nullptr},
      {"12x", nullptr},
      {"-", nullptr},
      {"+5", nullptr},
  };
  for (const auto& c : cases) {
    const CommandLine parsed = ParseCommandLine({"b.txt"}, c.epoch);
    if (c.date == nullptr) {
      EXPECT_EQ(parsed.action, Action::kUsageError) << c.epoch;
      EXPECT_NE(parsed.error.find("SOURCE_DATE_EPOCH"), std::string::npos) << parsed.error;
    } else {
      ASSERT_TRUE(parsed.date.has_value()) << c.epoch;
      EXPECT_EQ(PageDateText(*parsed.date), c.date) << c.epoch;
    }
  }
}

TEST(ShowsProgress, OnlyOnATerminalKnownToUnderstandACarriageReturn) {
  EXPECT_FALSE(ShowsProgress(false, "xterm"));
#if defined(_WIN32)
  EXPECT_TRUE(ShowsProgress(true, nullptr));
#else
  EXPECT_TRUE(ShowsProgress(true, "xterm-256color"));
  EXPECT_TRUE(ShowsProgress(true, "vt100"));
  EXPECT_FALSE(ShowsProgress(true, "dumb"));
  EXPECT_FALSE(ShowsProgress(true, ""));
  EXPECT_FALSE(ShowsProgress(true, nullptr));
#endif
}

// The progress line is rewritten with carriage returns and blanks only: no
// terminal escapes, which print as garbage where they are not understood.
TEST(ConsoleView, ProgressUsesCarriageReturnsAndBlanksOnly) {
  std::FILE* errors = std::tmpfile();
  ASSERT_NE(errors, nullptr);
  ConsoleView view("b.txt", "b.txt", errors, true);
  view.SetStatusText("Converted  5 of  12 ...");
  EXPECT_EQ(view.PumpEvents(), PumpResult::kContinue);
  view.SetStatusText("Working...");
  EXPECT_EQ(view.PumpEvents(), PumpResult::kContinue);
  view.FinishProgress();
  view.ShowMessage("Error  5: x\r\nProcedure: y", MessageStyle::kPlain, "Veltrana");
  std::rewind(errors);
  std::string shown(256, '\0');
  shown.resize(std::fread(shown.data(), 1, shown.size(), errors));
  std::fclose(errors);
  EXPECT_EQ(shown, "\rConverted  5 of  12 ...\rWorking..." + std::string(13, ' ') + "\r" +
                       std::string(23, ' ') + "\rError  5: x\nProcedure: y\n");
}

TEST(ParseCommandLine, ExportOptionsTakeTheirValues) {
  const struct {
    std::vector<std::string> arguments;
    ExportFormat format;
    std::optional<Charset> charset;  // none: each book's own
    std::optional<std::string> output;
    std::vector<std::string> paths;
  } cases[] = {
      {{"--export", "vcard", "b.txt"},
       ExportFormat::kVCard30,
       std::nullopt,
       std::nullopt,
       {"b.txt"}},
      {{"b.txt", "--export=csv", "--charset", "MACINTOSH"},
       ExportFormat::kCsv,
       Charset::kMacintosh,
       std::nullopt,
       {"b.txt"}},
      {{"--vcard-version", "4.0", "--export", "vcard", "-o", "-x.vcf", "b.txt"},
       ExportFormat::kVCard40,
       std::nullopt,
       "-x.vcf",
       {"b.txt"}},
      {{"--export", "vcard", "--output=o=1.vcf", "--charset=utf-8", "--", "-b.txt"},
       ExportFormat::kVCard30,
       Charset::kUtf8,
       "o=1.vcf",
       {"-b.txt"}},
      {{"--export", "ldif", "--charset", "auto", "a.txt", "Eudora", "c.txt"},
       ExportFormat::kLdif,
       std::nullopt,
       std::nullopt,
       {"a.txt", "Eudora", "c.txt"}},
      {{"--export", "mutt", "a"}, ExportFormat::kMutt, std::nullopt, std::nullopt, {"a"}},
      {{"--export", "vcard4", "a"}, ExportFormat::kVCard40, std::nullopt, std::nullopt, {"a"}},
  };
  for (const auto& c : cases) {
    const CommandLine command = ParseCommandLine(c.arguments, nullptr);
    ASSERT_EQ(command.action, Action::kExport) << ::testing::PrintToString(c.arguments);
    EXPECT_EQ(command.export_options.chosen_format(), c.format);
    EXPECT_EQ(command.export_options.charset, c.charset);
    EXPECT_EQ(command.export_options.output, c.output);
    EXPECT_EQ(command.export_paths, c.paths);
  }
  EXPECT_EQ(ParseCommandLine({"--", "--export", "vcard"}, nullptr).action, Action::kUsageError);
  EXPECT_EQ(ParseCommandLine({"--", "--export"}, nullptr).address_book, "--export");
  EXPECT_EQ(ParseCommandLine({"-ox", "b.txt"}, nullptr).action, Action::kUsageError);
  EXPECT_EQ(ParseCommandLine({"--exporter", "b.txt"}, nullptr).action, Action::kUsageError);
  EXPECT_EQ(ParseCommandLine({"a.txt", "b.txt"}, nullptr).action, Action::kUsageError);
  EXPECT_EQ(ParseCommandLine({"--export", "vcard4", "--vcard-version", "3.0", "a"}, nullptr).action,
            Action::kUsageError);
}

TEST(ConsoleText, PrintsCrLfAsNewline) {
  EXPECT_EQ(ConsoleText("Done.  1 Nicknames converted to:\r\n/x.htm"),
            "Done.  1 Nicknames converted to:\n/x.htm");
  EXPECT_EQ(ConsoleText("lone\rcr\nlf"), "lone\rcr\nlf");
}

// On a terminal, text from a book or a folder cannot act on the screen:
// every control character but the program's own CR LF line ends is shown
// escaped, C1 controls too; letters of any character set stay.
TEST(TerminalText, ShowsControlCharactersEscaped) {
  const struct {
    std::string text;
    std::string shown;
  } cases[] = {
      {"Exported 1 contact to:\r\nout.csv", "Exported 1 contact to:\nout.csv"},
      {"red\x1b[31m.txt", "red\\x1b[31m.txt"},
      {"title\x1b]0;owned\x07", "title\\x1b]0;owned\\x07"},
      {"g\nboss.txt\rx\ty", "g\\nboss.txt\\rx\\ty"},
      {std::string("nul\0del\x7f", 8), "nul\\x00del\\x7f"},
#if !defined(_WIN32)  // in an ANSI code page these bytes are letters
      {"csi\xc2\x9b" "2J caf\xc3\xa9", "csi\\xc2\\x9b2J caf\xc3\xa9"},  // U+009B in UTF-8
      {"raw\x9b" "2J caf\xe9 \xe2\x82\xac", "raw\\x9b2J caf\xe9 \xe2\x82\xac"},  // Latin-1 bytes
#else
      {"\x80 \x9a\x97", "\x80 \x9a\x97"},  // cp1252's euro sign, s with caron, dash
#endif
  };
  for (const auto& c : cases) EXPECT_EQ(TerminalText(c.text), c.shown) << c.text;
}

}  // namespace
}  // namespace veltrana
