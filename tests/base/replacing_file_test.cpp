#include "base/replacing_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/failure.h"
#include "support/temp_dir.h"

namespace veltrana {
namespace {

int OpenFailureCode(ReplacingFile& page, const std::string& path) {
  try {
    page.Open(path);
  } catch (const Failure& failure) {
    return failure.code();
  }
  return 0;
}

TEST(ReplacingFile, ReplacesThePageOnlyWhenCommitted) {
  test::TempDir dir;
  const std::string path = dir.File("book.htm");
  test::WriteBytes(path, "earlier page\r\n");
  ReplacingFile page;
  page.Open(path);
  page.WriteLine("<html>");
  EXPECT_EQ(test::ReadBytes(path), "earlier page\r\n") << "unfinished page shown";
  page.Commit();
  EXPECT_EQ(test::ReadBytes(path), "<html>\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            1)
      << "temporary file left behind";
}

TEST(ReplacingFile, AbandonLeavesTheEarlierPageOrNoPage) {
  test::TempDir dir;
  const std::string earlier = dir.File("earlier.htm");
  const std::string none = dir.File("none.htm");
  test::WriteBytes(earlier, "kept");
  for (const std::string& path : {earlier, none}) {
    ReplacingFile page;
    page.Open(path);
    page.WriteLine("half");
    const std::filesystem::path temporary = page.temporary_path();
    EXPECT_TRUE(test::Exists(temporary));
    page.Abandon();
    EXPECT_FALSE(test::Exists(temporary));
  }
  EXPECT_EQ(test::ReadBytes(earlier), "kept");
  EXPECT_FALSE(test::Exists(none));
}

TEST(ReplacingFile, DestroyingAnOpenPageAbandonsIt) {
  test::TempDir dir;
  std::filesystem::path temporary;
  {
    ReplacingFile page;
    page.Open(dir.File("p.htm"));
    temporary = page.temporary_path();
  }
  EXPECT_FALSE(test::Exists(temporary));
  EXPECT_FALSE(test::Exists(dir.File("p.htm")));
}

TEST(ReplacingFile, RefusesBeforeWritingWhereNoPageCanBeMade) {
  test::TempDir dir;
  std::filesystem::create_directory(dir.File("held.htm"));
  test::WriteBytes(dir.File("file"), "a regular file, not a folder");
  ReplacingFile page;
  EXPECT_EQ(OpenFailureCode(page, dir.File("held.htm")), 75);
  EXPECT_EQ(OpenFailureCode(page, dir.File("missing/p.htm")), 76);
  EXPECT_EQ(OpenFailureCode(page, dir.File("file/p.htm")), 76);
  EXPECT_FALSE(page.is_open());
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            2);
}

// A run killed mid-write leaves its temporary file; the next runs remove it
// instead of working around it, however many runs went before.
TEST(ReplacingFile, RemovesALeftoverTemporaryFileAndLeavesNone) {
  test::TempDir dir;
  const std::string path = dir.File("p.htm");
  test::WriteBytes(path + ".part", "half a page from a killed run");
  for (int run = 0; run < 3; ++run) {
    ReplacingFile page;
    page.Open(path);
    EXPECT_EQ(page.temporary_path(), std::filesystem::path(path + ".part"));
    page.WriteLine("run " + std::to_string(run));
    page.Commit();
    EXPECT_EQ(test::ReadBytes(path), "run " + std::to_string(run) + "\r\n");
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            1);
}

}  // namespace
}  // namespace veltrana
