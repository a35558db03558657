// veltrana-convert run as a person or a script runs it.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/system_text.h"
#include "support/page_text.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace veltrana {
namespace {

using Result = test::ProgramResult;

class ConvertCliTest : public ::testing::Test {
 protected:
  // Runs the converter in the test folder with `arguments` and the variables
  // in `environment` set.
  Result Run(std::vector<std::string> arguments,
             std::vector<std::pair<std::string, std::string>> environment = {},
             std::optional<long> file_size_limit = std::nullopt) {
    return test::RunConsoleProgram(VELTRANA_CONVERT,
                                   {std::move(arguments), std::move(environment), file_size_limit},
                                   dir_.path());
  }

  test::TempDir dir_;
};

TEST_F(ConvertCliTest, ConvertsARelativePathAndPrintsTheStatus) {
  test::WriteBytes(dir_.File("nndbase.txt"), "alias b x\r\nalias a y\r\n");
  const Result result = Run({"nndbase.txt"}, {{"SOURCE_DATE_EPOCH", "857520000"}});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "Done.  2 Nicknames converted to:\nnndbase.htm\n");
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(test::ReadBytes(dir_.File("nndbase.htm")),
            test::ExpectedHeader("Eudora Nicknames", "05-Mar-1997") +
                test::ExpectedRow({"a", "y"}) + test::ExpectedRow({"b", "x"}) +
                test::ExpectedFooter(2, "nndbase.txt"));
}

TEST_F(ConvertCliTest, SameInputAndDateGiveTheSameBytes) {
  test::WriteBytes(dir_.File("b.txt"), "alias a y\r\n");
  ASSERT_EQ(Run({"b.txt"}, {{"SOURCE_DATE_EPOCH", "1796601600"}}).status, 0);
  const std::string first = test::ReadBytes(dir_.File("b.htm"));
  ASSERT_EQ(Run({"b.txt"}, {{"SOURCE_DATE_EPOCH", "1796601600"}}).status, 0);
  EXPECT_EQ(test::ReadBytes(dir_.File("b.htm")), first);
  EXPECT_NE(first.find("<td> b<br>07-Dec-2026\r\n"), std::string::npos);
}

TEST_F(ConvertCliTest, FailuresPrintTheirMessagesAndExitOne) {
  test::WriteBytes(dir_.File("bad.txt"), "alias lonely\r\n");
  std::filesystem::create_directory(dir_.File("folder.txt"));
  test::WriteBytes(dir_.File("book.htm"), "alias a b\r\n");
  const struct {
    std::string argument;
    std::string out;
    std::string err;
  } cases[] = {
      {"", "Invalid Address Book filename\n", "Must enter name of Address Book file to convert\n"},
      {"missing.txt", "Invalid Address Book filename\n",
       "Specified Address Book does not exist.\nFilename: missing.txt\n"},
      {"bad.txt", "Working...\n",
       "Error  5: Invalid procedure call or argument\nProcedure: ExtractNickname()\n"},
      {"folder.txt", "Working...\n",
       "Error  75: Path/File access error\nProcedure: cmdConvert_Click()\n"},
      {"book.htm", "Invalid Address Book filename\n",
       "The page would overwrite the address book itself.\nFilename: book.htm\n"},
  };
  for (const auto& c : cases) {
    const Result result = Run({c.argument});
    EXPECT_EQ(result.status, 1) << c.argument;
    EXPECT_EQ(result.out, c.out) << c.argument;
    EXPECT_EQ(result.err, c.err) << c.argument;
  }
  EXPECT_FALSE(test::Exists(dir_.File("bad.htm")));
  EXPECT_EQ(test::ReadBytes(dir_.File("book.htm")), "alias a b\r\n");
}

TEST_F(ConvertCliTest, UsageHelpAndVersion) {
  EXPECT_EQ(Run({}).status, 2);
  EXPECT_EQ(Run({"a.txt", "b.txt"}).status, 2);
  EXPECT_EQ(Run({"--nonsense", "x"}).status, 2);
  for (const char* epoch : {"yesterday", "253402300800", "9223372036854775807"}) {
    const Result result = Run({"x.txt"}, {{"SOURCE_DATE_EPOCH", epoch}});
    EXPECT_EQ(result.status, 2) << epoch;
    EXPECT_NE(result.err.find("SOURCE_DATE_EPOCH"), std::string::npos) << result.err;
    EXPECT_EQ(result.out, "") << epoch;
  }
  const Result help = Run({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Usage: veltrana-convert"), std::string::npos);
  const Result version = Run({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "veltrana-convert (Veltrana) 1.0\n");
}

TEST_F(ConvertCliTest, SettingsDirKeepsTheHistoryAsTheWindowDoes) {
  std::filesystem::create_directory(dir_.File("settings"));
  const std::string ini = dir_.File("settings/veltra.ini");
  test::WriteBytes(ini, "AddressBook=A\nAddressBook=B.txt\nAddressBook=C\n");
  test::WriteBytes(dir_.File("B.txt"), "alias x y\r\n");
  ASSERT_EQ(Run({"--settings-dir", "settings", "B.txt"}).status, 0);
  EXPECT_EQ(test::ReadBytes(ini), "AddressBook=A\r\nAddressBook=C\r\nAddressBook=B.txt\r\n");
  test::WriteBytes(dir_.File("none.txt"), "nothing\r\n");
  ASSERT_EQ(Run({"--settings-dir=settings", "none.txt"}).status, 0);
  EXPECT_EQ(test::ReadBytes(ini), "AddressBook=A\r\nAddressBook=C\r\nAddressBook=B.txt\r\n");
  // Without the option no settings file is read or written.
  test::WriteBytes(dir_.File("other.txt"), "alias x y\r\n");
  ASSERT_EQ(Run({"other.txt"}).status, 0);
  EXPECT_FALSE(test::Exists(dir_.File("veltra.ini")));
  EXPECT_EQ(test::ReadBytes(ini), "AddressBook=A\r\nAddressBook=C\r\nAddressBook=B.txt\r\n");
}

TEST_F(ConvertCliTest, UnwritableSettingsReportWriteINIFileAndKeepThePage) {
  std::filesystem::create_directories(dir_.File("settings/veltra.ini"));
  test::WriteBytes(dir_.File("b.txt"), "alias x y\r\n");
  const Result result = Run({"--settings-dir", "settings", "b.txt"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "Error  75: Path/File access error\nProcedure: WriteINIFile()\n");
  EXPECT_EQ(result.out, "Done.  1 Nicknames converted to:\nb.htm\n");
  EXPECT_TRUE(test::Exists(dir_.File("b.htm")));
}

TEST_F(ConvertCliTest, AFileSizeLimitIsReportedAsAFullDiskAndKeepsTheEarlierPage) {
#if defined(_WIN32)
  GTEST_SKIP() << "Windows has no file-size limit for a process; a full disk is tested on Linux";
#endif
  std::string book;
  for (int i = 0; i < 3000; ++i) {
    book += "alias n" + std::to_string(i) + " person" + std::to_string(i) + "@mail.example\r\n";
  }
  test::WriteBytes(dir_.File("big.txt"), book);
  test::WriteBytes(dir_.File("big.htm"), "earlier page");
  // ulimit -f counts blocks of 1024 bytes: the page needs far more than 64.
  const Result result = Run({"big.txt"}, {}, 64 * 1024);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err.rfind("Error  61: Disk full\nProcedure: Write", 0), 0u) << result.err;
  EXPECT_EQ(result.out.rfind("Converted ", 0), 0u) << "the last progress stays: " << result.out;
  EXPECT_EQ(test::ReadBytes(dir_.File("big.htm")), "earlier page");
  EXPECT_FALSE(test::Exists(dir_.File("big.htm.part")));
}

// A name in the 8-bit code page, here Latin-1 (e-acute is 0xE9 in it and in
// Windows-1252), not UTF-8: the book opens, and the page and its texts
// carry the name's own bytes. On Linux that is the name's bytes on disk; on
// Windows the system keeps the name in UTF-16 and the program text in the
// ANSI code page.
TEST_F(ConvertCliTest, ANameThatIsNotUtf8ConvertsUnderItsOwnBytes) {
  test::WriteBytes(dir_.path() / PathOfText("caf\xE9.txt"), "alias a y\r\n");
  const Result result = Run({"caf\xE9.txt"}, {{"SOURCE_DATE_EPOCH", "857520000"}});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "Done.  1 Nicknames converted to:\ncaf\xE9.htm\n");
  EXPECT_EQ(test::ReadBytes(dir_.path() / PathOfText("caf\xE9.htm")),
            test::ExpectedHeader("caf\xE9", "05-Mar-1997") + test::ExpectedRow({"a", "y"}) +
                test::ExpectedFooter(1, "caf\xE9.txt"));
}

TEST_F(ConvertCliTest, ConvertsTheBundledSample) {
  std::filesystem::copy_file(std::string(VELTRANA_EXAMPLES) + "/nndbase.txt",
                             dir_.File("nndbase.txt"));
  const Result result = Run({"nndbase.txt"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out.rfind("Done. ", 0), 0u) << result.out;
  const std::string page = test::ReadBytes(dir_.File("nndbase.htm"));
  EXPECT_EQ(page.substr(page.size() - 11), "</html>\r\n\r\n");
}

}  // namespace
}  // namespace veltrana
