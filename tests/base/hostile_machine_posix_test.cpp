// A file replaced with another user on the machine, runs at the same time
// and kills mid-write: a link someone else planted is refused, a device or
// a pipe is never replaced, the protected book is never written, runs never
// take each other's files, and a copy killed half way is finished by the
// next run. Second-user parts run as `nobody` in a child process; kills come
// at counted steps of a traced child.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/ptrace.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <thread>

#include "base/failure.h"
#include "base/replacing_file.h"
#include "base/text_file.h"
#include "conversion/conversion_run.h"
#include "support/leftover.h"
#include "support/null_device.h"
#include "support/second_user.h"
#include "support/temp_dir.h"

namespace veltrana {
namespace {

namespace fs = std::filesystem;

using test::AsNobody;
using test::kNobody;

void Replace(const fs::path& path, const std::string& content,
             ReplacingFile::NonRegular non_regular = ReplacingFile::NonRegular::kRefuse,
             ReplacingFile::Named named = ReplacingFile::Named::kByProgram) {
  ReplacingFile file;
  file.Open(path, non_regular, named);
  file.Write(content);
  file.Commit();
}

// How a traced child ended.
enum class Traced {
  kFinished,  // it ran its step to the end
  kKilled,    // it was killed at the step asked for
  kDied,      // it ended otherwise (its step failed)
  kRefused,   // the system does not let a process trace its child
};

// Runs `step` in a child process that stops at each system call it makes,
// entering and leaving it: a count of steps that is the same on every run,
// not a time. At each stop, while the child stands still, `kill_here` is
// asked; when it answers true, the child is killed right there.
Traced RunTraced(const std::function<void()>& step, const std::function<bool()>& kill_here) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0) ::_exit(3);
    ::raise(SIGSTOP);  // until the parent traces it
    step();
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!WIFSTOPPED(status)) return Traced::kRefused;
  ::ptrace(PTRACE_SETOPTIONS, child, nullptr,
           reinterpret_cast<void*>(PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL));
  long deliver = 0;  // a signal of the child's own, passed on
  for (;;) {
    ::ptrace(PTRACE_SYSCALL, child, nullptr, reinterpret_cast<void*>(deliver));
    ::waitpid(child, &status, 0);
    if (WIFEXITED(status)) return WEXITSTATUS(status) == 0 ? Traced::kFinished : Traced::kDied;
    if (WIFSIGNALED(status)) return Traced::kDied;
    deliver = 0;
    if (WSTOPSIG(status) != (SIGTRAP | 0x80)) {
      deliver = WSTOPSIG(status);
    } else if (kill_here()) {
      ::kill(child, SIGKILL);
      ::waitpid(child, &status, 0);
      return Traced::kKilled;
    }
  }
}

std::size_t FilesIn(const fs::path& folder) {
  return static_cast<std::size_t>(
      std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

class HostileMachine : public ::testing::Test {
 protected:
  void SetUp() override { ::chmod(dir_.path().c_str(), 0755); }
  fs::path SharedFolder() { return test::MakeSharedFolder(dir_.path()); }
  test::TempDir dir_;
};

TEST_F(HostileMachine, ALinkAnotherUserPlantedInASharedFolderIsRefused) {
  SKIP_UNLESS_ROOT();
  const fs::path shared = SharedFolder();
  const std::size_t files_before = FilesIn(shared);
  const fs::path victim = dir_.path() / "victim.txt";
  using Named = ReplacingFile::Named;
  const struct {
    const char* name;
    bool planted_by_nobody;
    bool sticky;  // in the shared folder, else in a folder of nobody's own
    Named named;
    const char* refusal;  // none: followed
  } cases[] = {
      // The victim's page would replace victim.txt; an export target too.
      {"nndbase.htm", true, true, Named::kByProgram, "a link another user made in a shared folder"},
      {"export.vcf", true, true, Named::kByUser, "a link another user made in a shared folder"},
      {"own.htm", false, true, Named::kByProgram, nullptr},  // the user's own link keeps working
      // No sticky folder: the folder's owner decides for a file the user
      // names; a file the program names itself is never reached through
      // another user's link when it runs as root.
      {"other.htm", true, false, Named::kByUser, nullptr},
      {"default.htm", true, false, Named::kByProgram, "run as root, the program does not follow"},
  };
  const fs::path nobody_folder = dir_.path() / "nobodys";
  fs::create_directory(nobody_folder);
  ::chown(nobody_folder.c_str(), kNobody, kNobody);
  for (const auto& c : cases) {
    test::WriteBytes(victim, "the victim's own file");
    const fs::path link = (c.sticky ? shared : nobody_folder) / c.name;
    const auto plant = [&] { return ::symlink(victim.c_str(), link.c_str()) == 0; };
    ASSERT_TRUE(c.planted_by_nobody ? AsNobody(plant) : plant()) << c.name;
    if (c.refusal == nullptr) {
      Replace(link, "page", ReplacingFile::NonRegular::kRefuse, c.named);
      EXPECT_EQ(test::ReadBytes(victim), "page") << c.name;
      continue;
    }
    try {
      Replace(link, "page", ReplacingFile::NonRegular::kRefuse, c.named);
      ADD_FAILURE() << c.name << ": the planted link was followed";
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.code(), kPathFileAccessError);
      EXPECT_NE(failure.description().find(c.refusal), std::string::npos) << failure.description();
      EXPECT_NE(failure.description().find(link.string()), std::string::npos)
          << failure.description();
    }
    EXPECT_EQ(test::ReadBytes(victim), "the victim's own file") << c.name;
    EXPECT_TRUE(fs::is_symlink(link));
  }
  EXPECT_EQ(FilesIn(shared), files_before + 3) << "the three links and no temporary file";
}

// Every step of the path is checked, not only its last name: a folder link
// another user planted in a shared folder is not followed; nor is a
// regular file (also one with two names) or a FIFO of that user's written
// into there. What stands there stays as it was, each refusal names the
// path and the rule, and no temporary file is left. This is the program's
// own check: it holds whatever the kernel's protected_* settings are.
TEST_F(HostileMachine, WhatAnotherUserPlantedInASharedFolderIsNotWritten) {
  SKIP_UNLESS_ROOT();
  const fs::path shared = SharedFolder();
  const fs::path private_folder = dir_.path() / "private";
  fs::create_directory(private_folder);
  const auto make = [](const fs::path& path, mode_t mode) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, mode);
    return fd >= 0 && ::write(fd, "nobody's", 8) == 8 && ::fchmod(fd, mode) == 0 &&
           ::close(fd) == 0;
  };
  ASSERT_TRUE(AsNobody([&] {
    return ::symlink(private_folder.c_str(), (shared / "sub").c_str()) == 0 &&
           ::symlink("sub", (shared / "hop").c_str()) == 0 &&
           make(shared / "planted.htm", 0666) && make(shared / "first.htm", 0666) &&
           ::link((shared / "first.htm").c_str(), (shared / "second.htm").c_str()) == 0 &&
           ::mkfifo((shared / "pipe.vcf").c_str(), 0666) == 0;
  }));
  const int reader = ::open((shared / "pipe.vcf").c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  const std::size_t files_before = FilesIn(shared);
  const std::string link_rule = "a link another user made in a shared folder is not followed: ";
  const std::string file_rule = "a file another user made in a shared folder is not written into: ";
  const struct {
    fs::path path;
    ReplacingFile::NonRegular non_regular;
    std::string refusal;
  } cases[] = {
      {shared / "sub" / "veltra.ini", ReplacingFile::NonRegular::kRefuse,
       link_rule + (shared / "sub").string()},
      {shared / "hop" / "x" / ".." / "book.htm", ReplacingFile::NonRegular::kRefuse,
       link_rule + (shared / "hop").string()},
      {shared / "planted.htm", ReplacingFile::NonRegular::kRefuse,
       file_rule + (shared / "planted.htm").string()},
      {shared / "second.htm", ReplacingFile::NonRegular::kRefuse,
       file_rule + (shared / "second.htm").string()},
      {shared / "pipe.vcf", ReplacingFile::NonRegular::kWriteInto,
       file_rule + (shared / "pipe.vcf").string()},
  };
  for (const auto& c : cases) {
    try {
      Replace(c.path, "private", c.non_regular);
      ADD_FAILURE() << c.path << " was written";
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.code(), kPathFileAccessError);
      EXPECT_EQ(failure.description(), "Path/File access error: " + c.refusal);
    }
  }
  char byte = 0;
  EXPECT_LE(::read(reader, &byte, 1), 0) << "the other user received what was written";
  ::close(reader);
  EXPECT_TRUE(fs::is_empty(private_folder));
  for (const char* name : {"planted.htm", "first.htm"}) {
    EXPECT_EQ(test::ReadBytes(shared / name), "nobody's") << name;
  }
  EXPECT_EQ(FilesIn(shared), files_before) << "no temporary file is left";
  // The user's own file there is written as ever.
  ASSERT_TRUE(make(shared / "own.csv", 0600));
  Replace(shared / "own.csv", "private", ReplacingFile::NonRegular::kRefuse,
          ReplacingFile::Named::kByUser);
  EXPECT_EQ(test::ReadBytes(shared / "own.csv"), "private");
}

// A page is never written into a device or a pipe; an export is written
// into it as a stream, and it stays what it was.
TEST_F(HostileMachine, ADeviceOrAPipeIsNeverReplaced) {
  const fs::path fifo = dir_.path() / "pipe.vcf";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const fs::path null = test::PrivateNullDevice(dir_.path());
  for (const fs::path& device : {null, fifo}) {
    EXPECT_THROW(Replace(device, "page"), Failure) << device;
    EXPECT_FALSE(fs::is_regular_file(device)) << device;
  }
  Replace(null, "cards", ReplacingFile::NonRegular::kWriteInto);
  EXPECT_TRUE(fs::is_character_file(null));
  std::string read;
  std::thread reader([&] { read = test::ReadBytes(fifo); });
  Replace(fifo, "cards for the reader", ReplacingFile::NonRegular::kWriteInto);
  reader.join();
  EXPECT_EQ(read, "cards for the reader");
  EXPECT_TRUE(fs::is_fifo(fifo));
}

// The book is protected while a run reads it: no target, link or leftover
// of that identity is written, renamed over or removed.
TEST_F(HostileMachine, TheProtectedBookIsNeverWrittenOrRemoved) {
  const fs::path book = dir_.path() / "book.part";
  test::WriteBytes(book, "alias a b\r\n");
  fs::create_symlink(book, dir_.path() / "veltra.ini");
  native::FileId id;
  ReadTextFile(book, &id);
  const ReplacingFile::Protect keep(id);
  for (const char* target : {"book.part", "veltra.ini"}) {
    EXPECT_THROW(Replace(dir_.path() / target, "history"), Failure) << target;
  }
  Replace(dir_.path() / "book", "csv");  // "book.part" is no temporary name of "book"
  EXPECT_EQ(test::ReadBytes(book), "alias a b\r\n");
}

// Two writers of one file at the same time, one paused while the other
// runs whole: each ends whole, the last to finish wins, nothing is left.
TEST_F(HostileMachine, RunsAtTheSameTimeNeverTakeEachOthersFiles) {
  const fs::path page = dir_.path() / "book.htm";
  std::mt19937 random(18);
  for (int race = 0; race < 30; ++race) {
    const std::string first(1000 + random() % 200000, 'A');
    const std::string second(1000 + random() % 200000, 'B');
    if (race % 2 == 1) test::WriteBytes(page, "earlier");
    ReplacingFile paused;
    paused.Open(page);
    paused.Write(first.substr(0, first.size() / 2));
    Replace(page, second);
    EXPECT_EQ(test::ReadBytes(page), second);
    paused.Write(first.substr(first.size() / 2));
    paused.Commit();
    EXPECT_EQ(test::ReadBytes(page), first) << race;
    EXPECT_EQ(FilesIn(dir_.path()), 1u) << race;
  }
}

TEST_F(HostileMachine, NamesOf255BytesWork) {
  const fs::path page = dir_.path() / (std::string(251, 'n') + ".htm");
  Replace(page, "page");
  Replace(page, "page again");
  EXPECT_EQ(test::ReadBytes(page), "page again");
  EXPECT_EQ(FilesIn(dir_.path()), 1u);
}

// A dead run's leftover goes; a live run's file, another user's file and
// anything at the old temporary name stay and stop nothing.
TEST_F(HostileMachine, OnlyDeadLeftoversOfThisUserAreRemoved) {
  const fs::path page = dir_.path() / "book.htm";
  ReplacingFile live;
  live.Open(page);
  live.Write("live");
  const fs::path live_file = live.temporary_path();
  const std::string name = live_file.filename().string();  // .veltrana-NUMBER-RANDOM.part
  const std::string start = name.substr(0, name.size() - 13);
  const fs::path dead = dir_.path() / (start + "deadbeef.part");  // a killed run's: unlocked
  test::WriteBytes(dead, "dead");
  Replace(page, "page");
  EXPECT_TRUE(fs::exists(live_file)) << "a live run's file was taken for a leftover";
  EXPECT_FALSE(fs::exists(dead)) << "a dead leftover stayed";
  live.Abandon();
  EXPECT_EQ(FilesIn(dir_.path()), 1u);

  if (::geteuid() != 0) return;  // the rest needs a second user
  ::chmod(dir_.path().c_str(), 0777);
  fs::create_directory(dir_.path() / "book.htm.part");  // the old temporary name
  const fs::path planted = dir_.path() / (start + "cafebabe.part");
  ASSERT_TRUE(AsNobody([&] {
    const int fd = ::open(planted.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    return fd >= 0 && ::write(fd, "x", 1) == 1 && ::close(fd) == 0;
  }));
  Replace(page, "page despite the planted files");
  EXPECT_EQ(test::ReadBytes(page), "page despite the planted files");
  EXPECT_TRUE(fs::exists(planted)) << "another user's file was removed";
}

// Kills at every step of the copy over a page with two names: the run is
// traced and stopped at each system call it makes, entering and leaving,
// and killed at the first of these steps once the complete new content has
// its copy name, then at the second, and so on until the copy ends before
// the step comes. Once the next run has started, both names show the new
// page, whole, whichever step the kill came at.
TEST_F(HostileMachine, AKillDuringTheCopyIsFinishedByTheNextRun) {
  const fs::path page = dir_.path() / "book.htm";
  const fs::path second_name = dir_.path() / "published.htm";
  // Some blocks of the copy, and a part of one.
  const std::string old_page(4 * 65536 + 100, 'A');
  const std::string new_page(old_page.size(), 'B');
  // The name the complete new content has while it is copied.
  const std::string leftover = test::LeftoverName(page, "00000000").string();
  const std::string copy_name = leftover.substr(0, leftover.size() - 14) + ".copy";
  int kills = 0;
  int torn_before_restart = 0;
  for (int kill_at = 1;; ++kill_at) {
    for (const auto& entry : fs::directory_iterator(dir_.path())) fs::remove(entry.path());
    test::WriteBytes(page, old_page);
    fs::create_hard_link(page, second_name);
    int copy_steps = 0;
    const Traced traced = RunTraced([&] { Replace(page, new_page); },
                                    [&] {
                                      if (::access(copy_name.c_str(), F_OK) != 0) return false;
                                      return ++copy_steps == kill_at;
                                    });
    if (traced == Traced::kRefused) {
      GTEST_SKIP() << "this system does not let a process trace its child (ptrace), which "
                      "stops the copy at each of its steps";
    }
    ASSERT_NE(traced, Traced::kDied) << "the run failed before step " << kill_at;
    if (traced == Traced::kFinished) break;  // the copy has fewer steps: each had its kill
    ++kills;
    ASSERT_TRUE(fs::exists(copy_name)) << "step " << kill_at;
    const std::string seen = test::ReadBytes(page);
    if (seen != old_page && seen != new_page) ++torn_before_restart;
    ReplacingFile next;
    next.Open(page);  // the next run starts
    next.Abandon();
    ASSERT_EQ(test::ReadBytes(second_name), new_page)
        << "killed at step " << kill_at << " of the copy: not the new page, whole, after the "
        << "next run started";
    ASSERT_EQ(test::ReadBytes(page), new_page) << "step " << kill_at;
    EXPECT_EQ(FilesIn(dir_.path()), 2u) << "step " << kill_at << ": something left behind";
  }
  EXPECT_GT(torn_before_restart, 0) << "no kill fell in the middle of the copy";
  RecordProperty("kills", kills);
  RecordProperty("torn_before_restart", torn_before_restart);
}

// The state a kill in the middle of the copy leaves, made on purpose: the
// page new up to some byte and old after it, the complete new content under
// the copy name. The next run finishes the copy first; another user's file
// at that name is not taken for one.
TEST_F(HostileMachine, TheNextRunFinishesAnInterruptedCopyFirst) {
  const fs::path page = dir_.path() / "book.htm";
  const fs::path second_name = dir_.path() / "published.htm";
  const std::string leftover = test::LeftoverName(page, "00000000").string();
  const fs::path copy = leftover.substr(0, leftover.size() - 14) + ".copy";
  const struct {
    const char* who;
    std::function<void()> starts;
  } cases[] = {
      {"the next run",
       [&] {
         ReplacingFile next;
         next.Open(page);
       }},
      {"the window's start", [&] { FinishInterruptedPage(dir_.path() / "book.txt"); }},
  };
  for (const auto& c : cases) {
    fs::remove(second_name);
    test::WriteBytes(page, "new page, half copied" + std::string(1000, 'o'));
    fs::create_hard_link(page, second_name);
    test::WriteBytes(copy, "new page, whole");
    c.starts();
    EXPECT_EQ(test::ReadBytes(second_name), "new page, whole") << c.who;
    EXPECT_FALSE(fs::exists(copy)) << c.who;
    EXPECT_EQ(FilesIn(dir_.path()), 2u) << c.who;
  }
}

// What is not a regular file, a file too large for any page and a file that
// changes while it is read are refused with a message, without hanging.
TEST_F(HostileMachine, ReadingRefusesDevicesPipesHugeAndChangingFiles) {
  const fs::path fifo = dir_.path() / "book.txt";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const fs::path huge = dir_.path() / "huge.txt";
  test::WriteBytes(huge, "");
  fs::resize_file(huge, kMostBytesRead + 1);  // sparse: nothing is read
  const struct {
    fs::path path;
    int code;
    const char* says;
  } cases[] = {
      {"/dev/zero", kPathFileAccessError, "not a regular file"},
      {fifo, kPathFileAccessError, "not a regular file"},  // no writer: no hang
      {huge, kPathFileAccessError, "larger than"},
      {"/proc/self/status", kDeviceIOError, "changed while it was read"},  // size 0, then text
  };
  for (const auto& c : cases) {
    try {
      ReadTextFile(c.path);
      ADD_FAILURE() << c.path << " was read";
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.code(), c.code) << c.path;
      EXPECT_NE(failure.description().find(c.says), std::string::npos) << failure.description();
    }
  }
}

}  // namespace
}  // namespace veltrana
