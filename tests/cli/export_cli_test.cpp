// veltrana-convert --export run as a person or a script runs it.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "support/run_program.h"
#include "support/temp_dir.h"

#if !defined(_WIN32)
#include "support/null_device.h"
#endif

namespace veltrana {
namespace {

using Result = test::ProgramResult;

class ExportCliTest : public ::testing::Test {
 protected:
  // Runs the converter in the test folder with `arguments`, separated by
  // blanks ('' is an empty argument).
  Result Run(const std::string& arguments, std::optional<long> file_size_limit = std::nullopt) {
    std::vector<std::string> split;
    std::istringstream words(arguments);
    for (std::string word; words >> word;) split.push_back(word == "''" ? "" : word);
    return test::RunConsoleProgram(VELTRANA_CONVERT, {split, {}, file_size_limit}, dir_.path());
  }

  test::TempDir dir_;
};

TEST_F(ExportCliTest, WritesBesideTheBookAndSaysWhatAndWhere) {
  test::WriteBytes(dir_.File("book.txt"),
                   "alias ann ann@x\r\nalias bob bob@x\r\nalias team ann, bob\r\n");
  const Result vcard = Run("--export vcard book.txt");
  EXPECT_EQ(vcard.status, 0) << vcard.err;
  EXPECT_EQ(vcard.out,
            "book.txt (book, windows-1252): 2 contacts and 1 list\nExported 2 contacts and 1 list "
            "to:\nbook.vcf\n");
  EXPECT_EQ(vcard.err, "");
  EXPECT_EQ(test::ReadBytes(dir_.File("book.vcf")).rfind("BEGIN:VCARD\r\nVERSION:3.0\r\n", 0), 0u);

  const Result v4 = Run("--export=vcard --vcard-version=4.0 -o cards4.vcf book.txt");
  EXPECT_EQ(v4.status, 0) << v4.err;
  EXPECT_EQ(v4.out,
            "book.txt (book, windows-1252): 2 contacts and 1 list\nExported 2 contacts and 1 list "
            "to:\ncards4.vcf\n");
  EXPECT_NE(test::ReadBytes(dir_.File("cards4.vcf")).find("\r\nKIND:group\r\n"), std::string::npos);

  const Result csv = Run("--export csv book.txt");
  EXPECT_EQ(csv.status, 0) << csv.err;
  EXPECT_EQ(csv.out,
            "book.txt (book, windows-1252): 2 contacts and 1 list\nExported 2 contacts and 1 list "
            "to:\nbook.csv\n");
  EXPECT_EQ(test::ReadBytes(dir_.File("book.csv"))
                .rfind("\xEF\xBB\xBF"
                       "First Name,",
                       0),
            0u);
  EXPECT_FALSE(test::Exists(dir_.File("book.htm"))) << "the export writes no page";
}

// The page of today is dated as the documented page is: SOURCE_DATE_EPOCH
// when set, so that it can be made again byte for byte.
TEST_F(ExportCliTest, ThePageOfTodayIsWrittenBesideTheBookWithTheDateGiven) {
  test::WriteBytes(dir_.File("book.txt"), "alias ann ann@x\r\nalias team ann\r\n");
  const std::vector<std::string> arguments{"--export", "html", "book.txt"};
  const Result first = test::RunConsoleProgram(
      VELTRANA_CONVERT, {arguments, {{"SOURCE_DATE_EPOCH", "1796601600"}}, {}}, dir_.path());
  EXPECT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(first.out,
            "book.txt (book, windows-1252): 1 contact and 1 list\nExported 1 contact and 1 list "
            "to:\nbook.html\n");
  const std::string page = test::ReadBytes(dir_.File("book.html"));
  EXPECT_NE(page.find("<time datetime=\"2026-12-07\">7 December 2026</time>"), std::string::npos);
  const Result again = test::RunConsoleProgram(
      VELTRANA_CONVERT, {arguments, {{"SOURCE_DATE_EPOCH", "1796601600"}}, {}}, dir_.path());
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(test::ReadBytes(dir_.File("book.html")), page);
  EXPECT_FALSE(test::Exists(dir_.File("book.htm"))) << "the export writes no documented page";
}

TEST_F(ExportCliTest, CharactersAreConvertedAndReplacementsCounted) {
  test::WriteBytes(dir_.File("b.txt"), "alias j\xFC j@x\r\nnote j\xFC <name:J\x81rg>\r\n");
  const Result result = Run("--export csv b.txt");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "Warning: 1 byte not text in windows-1252 replaced by U+FFFD\n");
  EXPECT_NE(test::ReadBytes(dir_.File("b.csv")).find("\nJ\xEF\xBF\xBDrg,,,j\xC3\xBC,j@x,"),
            std::string::npos);
  const Result mac = Run("--export csv --charset macintosh b.txt");
  EXPECT_EQ(mac.err, "");
  EXPECT_NE(test::ReadBytes(dir_.File("b.csv")).find(",j\xC2\xB8,j@x,"), std::string::npos);
}

// A file that holds no contact is most likely not an address book: the
// export is made, and the file named in a warning.
TEST_F(ExportCliTest, AFileWithNoContactIsWarnedOf) {
  test::WriteBytes(dir_.File("page.html"), "<html><body>Not a book</body></html>\n");
  test::WriteBytes(dir_.File("book.txt"), "alias ann ann@x\r\n");
  const struct {
    std::string arguments;
    std::string err;
  } cases[] = {
      {"--export csv page.html",
       "Warning: no contacts in it: is it a Eudora address book (nndbase.txt)?\n"
       "Warning: line 1: neither an alias line nor a note line; left out\n"},
      {"--export vcard -o both.vcf book.txt page.html",
       "Warning: no contacts in page.html: is it a Eudora address book (nndbase.txt)?\n"
       "Warning: page.html, line 1: neither an alias line nor a note line; left out\n"},
      {"--export vcard book.txt", ""},
  };
  for (const auto& c : cases) {
    const Result result = Run(c.arguments);
    EXPECT_EQ(result.status, 0) << c.arguments;
    EXPECT_EQ(result.err, c.err) << c.arguments;
  }
}

TEST_F(ExportCliTest, CyclesAndPartLinesAreReportedAndTheExportGoesOn) {
  test::WriteBytes(dir_.File("b.txt"), "alias a b\r\nalias b a\r\nalias \"open x@y\r\n");
  const Result result = Run("--export vcard b.txt");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err,
            "Warning: line 3: the nickname's closing quote is missing\n"
            "Warning: a list leads back to itself, each member taken once: a -> b -> a\n"
            "Warning: a list leads back to itself, each member taken once: b -> a -> b\n");
  EXPECT_EQ(result.out,
            "b.txt (b, windows-1252): 1 contact and 2 lists\nExported 1 contact and 2 lists "
            "to:\nb.vcf\n");
}

TEST_F(ExportCliTest, ABookThatCannotBeReadIsAnsweredAsThePageRunAnswersIt) {
  std::filesystem::create_directory(dir_.File("folder.txt"));
  test::WriteBytes(dir_.File("b.txt"), "alias a a@x\r\n");
  test::WriteBytes(dir_.File("b.vcf"), "earlier export");
  test::WriteBytes(dir_.File("x"), "alias a a@x\r\n");
  std::filesystem::create_directory(dir_.File("held.vcf"));
  const struct {
    std::string arguments;
    std::string out;
    std::string err;
  } cases[] = {
      {"''", "Invalid Address Book filename\n",
       "Must enter name of Address Book file to convert\n"},
      {"missing.txt", "Invalid Address Book filename\n",
       "Specified Address Book does not exist.\nFilename: missing.txt\n"},
      {"folder.txt", "Working...\n",
       "Error  75: Path/File access error\nProcedure: cmdConvert_Click()\nfolder.txt\n"},
      {"x", "Working...\n",
       "Error  5: Invalid procedure call or argument\n"
       "Procedure: cmdConvert_Click()\nx\n"},
      {"-o b.txt b.txt", "Invalid Address Book filename\n",
       "The export would overwrite the address book itself.\nFilename: b.txt\n"},
      {"-o held.vcf b.txt", "Working...\n",
       "Error  75: Path/File access error\nProcedure: WriteVCardFile()\nb.txt\n"},
      {"-o no/such/folder.vcf b.txt", "Working...\n",
       "Error  76: Path not found\nProcedure: WriteVCardFile()\nb.txt\n"},
      {"-o b.txt/inside.vcf b.txt", "Working...\n",
       "Error  76: Path not found\nProcedure: WriteVCardFile()\nb.txt\n"},
  };
  for (const auto& c : cases) {
    const Result result = Run("--export vcard " + c.arguments);
    EXPECT_EQ(result.status, 1) << c.arguments;
    EXPECT_EQ(result.out, c.out) << c.arguments;
    EXPECT_EQ(result.err, c.err) << c.arguments;
    if (c.arguments.rfind("-o", 0) != 0) {
      const Result page = Run(c.arguments);
      EXPECT_EQ(result.out, page.out) << c.arguments;
      EXPECT_EQ(result.err, page.err) << c.arguments;
      EXPECT_EQ(result.status, page.status) << c.arguments;
    }
  }
  EXPECT_EQ(test::ReadBytes(dir_.File("b.vcf")), "earlier export");
  EXPECT_EQ(test::ReadBytes(dir_.File("b.txt")), "alias a a@x\r\n");
  EXPECT_TRUE(std::filesystem::is_empty(dir_.File("held.vcf")));
}

TEST_F(ExportCliTest, AFileSizeLimitKeepsTheEarlierExportAndLeavesNoTemporaryFile) {
#if defined(_WIN32)
  GTEST_SKIP() << "Windows has no file-size limit for a process; a full disk is tested on Linux";
#endif
  std::string book;
  for (int i = 0; i < 3000; ++i) {
    book += "alias n" + std::to_string(i) + " person" + std::to_string(i) + "@mail.example\r\n";
  }
  test::WriteBytes(dir_.File("big.txt"), book);
  test::WriteBytes(dir_.File("big.csv"), "earlier export");
  const Result result = Run("--export csv big.txt", 64 * 1024);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "Error  61: Disk full\nProcedure: WriteCSVFile()\nbig.txt\n");
  // The status as last set: the progress when the write failed.
  EXPECT_EQ(result.out.rfind("Exported  ", 0), 0u) << result.out;
  EXPECT_TRUE(result.out.ends_with(" of  3000 ...\n")) << result.out;
  EXPECT_EQ(test::ReadBytes(dir_.File("big.csv")), "earlier export");
  EXPECT_FALSE(test::Exists(dir_.File("big.csv.part")));
}

TEST_F(ExportCliTest, UsageErrors) {
  for (const char* arguments :
       {"--export pdf b.txt", "--export", "--export vcard --vcard-version 2.1 b.txt",
        "--export vcard --charset klingon b.txt", "--charset utf-8 b.txt", "--charset auto b.txt",
        "-o x.vcf b.txt", "--vcard-version 4.0 b.txt", "--export csv --vcard-version 4.0 b.txt",
        "--export vcard --settings-dir s b.txt", "--export vcard --output= b.txt"}) {
    const Result result = Run(arguments);
    EXPECT_EQ(result.status, 2) << arguments;
    EXPECT_EQ(result.err.rfind("veltrana-convert: ", 0), 0u) << arguments;
  }
  EXPECT_EQ(Run("--export vcard --charset klingon b.txt").err,
            "veltrana-convert: --charset takes auto, windows-1252, iso-8859-1, macintosh or utf-8, "
            "not 'klingon'\nTry 'veltrana-convert --help'.\n");
  EXPECT_NE(Run("--help").out.find("--export FORMAT"), std::string::npos);
}

#if !defined(_WIN32)
// The book named like the target's old temporary name, a device and the
// standard output as targets: the book stays, the device stays a device,
// and "-o -" puts the export alone on standard output.
TEST_F(ExportCliTest, TheBookDevicesAndStandardOutputAsTargets) {
  const std::string book = "alias ann ann@x\r\n";
  test::WriteBytes(dir_.File("book.part"), book);
  const Result beside = Run("--export csv -o book book.part");
  EXPECT_EQ(beside.status, 0) << beside.err;
  EXPECT_EQ(test::ReadBytes(dir_.File("book.part")), book) << "the book was taken for a leftover";
  EXPECT_NE(test::ReadBytes(dir_.File("book")).find("ann@x"), std::string::npos);

  const std::filesystem::path null = test::PrivateNullDevice(dir_.path());
  const Result device = Run("--export vcard -o " + null.string() + " book.part");
  EXPECT_EQ(device.status, 0) << device.err;
  EXPECT_TRUE(std::filesystem::is_character_file(null)) << null << " was replaced";
  if (null != "/dev/null") std::filesystem::remove(null);

  const Result out = Run("--export vcard -o - book.part");
  EXPECT_EQ(out.status, 0) << out.err;
  EXPECT_EQ(out.out.rfind("BEGIN:VCARD\r\n", 0), 0u) << out.out;
  EXPECT_NE(out.out.find("END:VCARD\r\n"), std::string::npos);
  EXPECT_NE(out.err.find("Exported 1 contact and 0 lists to:"), std::string::npos) << out.err;
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()),
                          std::filesystem::directory_iterator()),
            2)
      << "book.part and book only";
}

// A failing run whose standard error is a closed pipe still ends by itself
// and cleans up, instead of being killed by SIGPIPE: the pipe's reading end
// is closed before the converter starts, so its report meets it closed.
TEST_F(ExportCliTest, AClosedPipeAsStandardErrorIsNoSignal) {
  test::ProgramRun run{{"--export", "csv", "missing.txt"}, {}, std::nullopt};
  run.error_to_closed_pipe = true;
  const Result result = test::RunProgram(VELTRANA_CONVERT, run, dir_.path());
  EXPECT_EQ(result.signal, 0) << "killed by signal " << result.signal << " (13 is SIGPIPE)";
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "Invalid Address Book filename\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()),
                          std::filesystem::directory_iterator()),
            0)
      << "nothing left behind";
}
#endif

}  // namespace
}  // namespace veltrana
