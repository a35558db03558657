// Faults around the run: the disk fills up, the address book goes away.
// Each leaves the earlier page as it was and the right buttons enabled.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/run_fixture.h"

namespace veltrana {
namespace {

class FaultsTest : public test::RunFixture {
 protected:
  static std::string BigBook(int entries) {
    std::string book;
    for (int i = 0; i < entries; ++i) {
      book += "alias n" + std::to_string(i) + " person" + std::to_string(i) + "@mail.example\r\n";
      book += "note n" + std::to_string(i) + " <name:Person " + std::to_string(i) +
              "><address:1 Long Road\x03Some Town><phone:555-0100>A note long enough to "
              "fill the disk quickly.\r\n";
    }
    return book;
  }
};

TEST_F(FaultsTest, AFullDiskFailsTheRunAndKeepsTheEarlierPage) {
  const std::filesystem::path disk = dir_.path() / "small-disk";
  std::filesystem::create_directory(disk);
  const std::string mount = "mount -t tmpfs -o size=64k tmpfs '" + disk.string() + "' 2>/dev/null";
  if (std::system(mount.c_str()) != 0) {
    GTEST_SKIP() << "cannot mount a small tmpfs here (needs root with CAP_SYS_ADMIN); the "
                    "command-line test with a file-size limit covers a full disk";
  }
  const std::string book = (disk / "book.txt").string();
  const std::string page = (disk / "book.htm").string();
  test::WriteBytes(book, BigBook(150));  // about 20 KB: the page needs more than is left
  test::WriteBytes(page, "earlier page");
  const test::RunOutcome outcome = ConvertField(book);
  const std::size_t files = static_cast<std::size_t>(std::distance(
      std::filesystem::directory_iterator(disk), std::filesystem::directory_iterator()));
  const std::string earlier = test::ReadBytes(page);
  std::system(("umount '" + disk.string() + "'").c_str());

  EXPECT_EQ(outcome, test::RunOutcome::kFailed);
  ASSERT_EQ(window_.messages.size(), 1u);
  EXPECT_EQ(window_.messages[0].rfind("Error  61: Disk full\r\nProcedure: Write", 0), 0u)
      << window_.messages[0];
  EXPECT_EQ(earlier, "earlier page");
  EXPECT_EQ(files, 2u) << "no temporary file left behind";
  EXPECT_TRUE(window_.enabled[Button::kConvert]);
  EXPECT_TRUE(window_.enabled[Button::kBrowse]);
  EXPECT_FALSE(window_.enabled[Button::kView]);
  EXPECT_TRUE(history_.calls.empty());
}

// The book is read whole when the run opens it; what happens to the file
// afterwards does not change the page.
TEST_F(FaultsTest, TheBookRemovedOrReplacedDuringTheRunStillGivesTheWholePage) {
  const std::string content = BigBook(12);
  test::WriteBytes(dir_.File("book.txt"), content);
  ASSERT_EQ(ConvertField(dir_.File("book.txt")), test::RunOutcome::kConverted);
  const std::string expected = Page();

  for (const bool replace_by_folder : {false, true}) {
    window_ = test::RecordingWindow();
    test::WriteBytes(dir_.File("book.txt"), content);
    window_.on_pump = [&](int pump) {
      if (pump != 1) return;  // after the fifth row
      std::filesystem::remove(dir_.File("book.txt"));
      if (replace_by_folder) std::filesystem::create_directory(dir_.File("book.txt"));
    };
    ASSERT_EQ(ConvertField(dir_.File("book.txt")), test::RunOutcome::kConverted);
    EXPECT_EQ(Page(), expected);
    EXPECT_TRUE(window_.messages.empty());
    std::filesystem::remove_all(dir_.File("book.txt"));
  }
}

}  // namespace
}  // namespace veltrana
