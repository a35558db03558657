// Replacing a file keeps what the user set on it: permission bits, owner,
// symbolic links, hard links. Each case compares the file's status before
// and after, as root meets it too.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/failure.h"
#include "base/replacing_file.h"
#include "support/temp_dir.h"

namespace veltrana {
namespace {

namespace fs = std::filesystem;

struct stat StatOf(const fs::path& path) {
  struct stat facts {};
  EXPECT_EQ(::lstat(path.c_str(), &facts), 0) << path;
  return facts;
}

std::size_t FilesIn(const fs::path& folder) {
  return static_cast<std::size_t>(
      std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

// Replaces the file at `path` with `content`; the method Commit used.
ReplacingFile::Method Replace(const fs::path& path, const std::string& content) {
  ReplacingFile file;
  file.Open(path);
  file.Write(content);
  const ReplacingFile::Method method = file.method();
  file.Commit();
  return method;
}

class ReplacingFilePosix : public ::testing::Test {
 protected:
  test::TempDir dir_;
  fs::path page_ = dir_.path() / "book.htm";
};

TEST_F(ReplacingFilePosix, KeepsPermissionBitsAndOwner) {
  const struct {
    mode_t mode;
    bool other_owner;  // root can give the file to another user; others cannot
  } cases[] = {{0600, false}, {0640, false}, {0444 | 0200, false}, {0604, true}};
  for (const auto& c : cases) {
    test::WriteBytes(page_, "private page");
    ASSERT_EQ(::chmod(page_.c_str(), c.mode), 0);
    if (c.other_owner) {
      if (::geteuid() != 0) continue;  // only root may give a file away
      ASSERT_EQ(::chown(page_.c_str(), 1234, 1235), 0);
    }
    const struct stat before = StatOf(page_);
    Replace(page_, "new page");
    const struct stat after = StatOf(page_);
    EXPECT_EQ(after.st_mode, before.st_mode) << std::oct << c.mode;
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_EQ(test::ReadBytes(page_), "new page");
    EXPECT_EQ(FilesIn(dir_.path()), 1u) << "temporary file left behind";
  }
}

TEST_F(ReplacingFilePosix, ANewFileGetsTheUsualPermissions) {
  const mode_t mask = ::umask(022);
  Replace(page_, "new page");
  ::umask(mask);
  EXPECT_EQ(StatOf(page_).st_mode & 07777, 0644u);
}

// book.htm -> web/book.htm: the link stays, the published page is new, and
// the temporary file was made beside the published page.
TEST_F(ReplacingFilePosix, ASymbolicLinkStaysALinkToTheNewContent) {
  fs::create_directory(dir_.path() / "web");
  const fs::path published = dir_.path() / "web" / "book.htm";
  test::WriteBytes(published, "old page");
  for (const fs::path& link : {fs::path("web/book.htm"), published}) {  // relative and absolute
    fs::remove(page_);
    fs::create_symlink(link, page_);
    ReplacingFile file;
    file.Open(page_);
    EXPECT_EQ(file.temporary_path(), dir_.path() / "web" / "book.htm.part");
    file.Write("new page " + link.string());
    file.Commit();
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(page_)));
    EXPECT_EQ(fs::read_symlink(page_), link);
    EXPECT_EQ(test::ReadBytes(published), "new page " + link.string());
    EXPECT_EQ(FilesIn(dir_.path() / "web"), 1u);
  }
  // A link to a page not made yet makes it where the link points.
  fs::remove(published);
  Replace(page_, "first page");
  EXPECT_EQ(test::ReadBytes(published), "first page");
}

TEST_F(ReplacingFilePosix, EveryNameOfAHardLinkedFileShowsTheNewContent) {
  test::WriteBytes(page_, "old page, a long one that the new one is shorter than");
  const fs::path other = dir_.path() / "copy-for-the-web.htm";
  fs::create_hard_link(page_, other);
  const struct stat before = StatOf(page_);
  EXPECT_EQ(Replace(page_, "new page"), ReplacingFile::Method::kCopyOver);
  EXPECT_EQ(StatOf(page_).st_ino, before.st_ino);
  EXPECT_EQ(StatOf(page_).st_nlink, 2u);
  EXPECT_EQ(test::ReadBytes(other), "new page");
  EXPECT_EQ(FilesIn(dir_.path()), 2u);
}

// Writing the temporary file fails (here: no room) before the hard-linked
// file is touched; so does reserving room for the copy over it.
TEST_F(ReplacingFilePosix, NoRoomLeavesAHardLinkedFileWhole) {
  const fs::path disk = dir_.path() / "small-disk";
  fs::create_directory(disk);
  if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=100k") != 0) {
    GTEST_SKIP() << "cannot mount a small tmpfs here (needs root with CAP_SYS_ADMIN)";
  }
  struct Unmount {
    const fs::path& disk;
    ~Unmount() { ::umount(disk.c_str()); }
  } unmount{disk};
  const fs::path page = disk / "book.htm";
  const std::string old_page(40 * 1024, 'o');
  const struct {
    std::size_t new_size;
    const char* where;
  } cases[] = {{70 * 1024, "writing the temporary file"}, {56 * 1024, "reserving room"}};
  for (const auto& c : cases) {
    test::WriteBytes(page, old_page);
    fs::create_hard_link(page, disk / "other.htm");
    int code = 0;
    try {
      Replace(page, std::string(c.new_size, 'n'));
    } catch (const Failure& failure) {
      code = failure.code();
    }
    EXPECT_EQ(code, 61) << c.where;
    EXPECT_EQ(test::ReadBytes(page), old_page) << c.where;
    EXPECT_EQ(FilesIn(disk), 2u) << c.where << ": temporary file left behind";
    fs::remove(disk / "other.htm");
  }
}

// A leftover temporary name that is a link must not lead the new content
// anywhere else.
TEST_F(ReplacingFilePosix, ALeftoverLinkAtTheTemporaryNameIsRemovedNotFollowed) {
  const fs::path elsewhere = dir_.path() / "elsewhere.txt";
  test::WriteBytes(elsewhere, "not yours to write");
  fs::create_symlink(elsewhere, dir_.path() / "book.htm.part");
  Replace(page_, "new page");
  EXPECT_EQ(test::ReadBytes(elsewhere), "not yours to write");
  EXPECT_EQ(test::ReadBytes(page_), "new page");
  EXPECT_FALSE(fs::exists(fs::symlink_status(dir_.path() / "book.htm.part")));
}

TEST_F(ReplacingFilePosix, ALinkLoopIsAnAccessError) {
  fs::create_symlink("book.htm", page_);
  int code = 0;
  try {
    ReplacingFile file;
    file.Open(page_);
  } catch (const Failure& failure) {
    code = failure.code();
  }
  EXPECT_EQ(code, 75);
}

}  // namespace
}  // namespace veltrana
