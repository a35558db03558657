// veltrana-convert on a machine it shares: shared sticky folders (like
// /tmp) where another user plants names, another user's folder exported as
// root, a Eudora folder whose eudora.ini names other folders, runs that
// share one settings folder, and a terminal that would act on what it is
// sent. The second user's part runs as `nobody` in a child process, so those
// tests need root and are skipped otherwise. What they check is the
// program's own refusals: they hold whatever the kernel's protected_*
// settings are. VELTRANA_CONVERT_UNDER_TEST names another build's converter
// to run them on (an earlier build, to see which of them it fails).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "support/run_program.h"
#include "support/second_user.h"
#include "support/temp_dir.h"

namespace veltrana {
namespace {

namespace fs = std::filesystem;
using Result = test::ProgramResult;

using test::AsNobody;
using test::kNobody;

fs::path Converter() {
  const char* other = std::getenv("VELTRANA_CONVERT_UNDER_TEST");
  return other != nullptr && *other != '\0' ? fs::path(other) : fs::path(VELTRANA_CONVERT);
}

bool MakeFile(const fs::path& path, const std::string& bytes, mode_t mode) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, mode);
  if (fd < 0) return false;
  const bool written = ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  return ::fchmod(fd, mode) == 0 && ::close(fd) == 0 && written;
}

unsigned ModeOf(const fs::path& path) {
  struct stat facts {};
  return ::stat(path.c_str(), &facts) == 0 ? static_cast<unsigned>(facts.st_mode & 0777) : 0u;
}

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

// Runs the converter with standard input, output and error on a terminal
// of their own (a pseudo-terminal); gives what the terminal received.
std::string RunOnTerminal(const std::vector<std::string>& arguments, const fs::path& folder) {
  const int terminal = ::posix_openpt(O_RDWR | O_NOCTTY);
  if (terminal < 0 || ::grantpt(terminal) != 0 || ::unlockpt(terminal) != 0) return "no terminal";
  const std::string name = ::ptsname(terminal);
  const fs::path program = Converter();
  const pid_t child = ::fork();
  if (child == 0) {
    ::setsid();
    const int side = ::open(name.c_str(), O_RDWR);
    if (side < 0 || ::dup2(side, 0) < 0 || ::dup2(side, 1) < 0 || ::dup2(side, 2) < 0 ||
        ::chdir(folder.c_str()) != 0) {
      ::_exit(127);
    }
    ::setenv("TERM", "dumb", 1);  // no progress line: only what is printed
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  // Read until the terminal's last user is gone (EIO), then the child ends.
  std::string received;
  char buffer[4096];
  for (;;) {
    const ssize_t got = ::read(terminal, buffer, sizeof buffer);
    if (got > 0) {
      received.append(buffer, static_cast<std::size_t>(got));
    } else if (got < 0 && errno == EINTR) {
      continue;
    } else {
      break;
    }
  }
  ::close(terminal);
  int status = 0;
  ::waitpid(child, &status, 0);
  return received;
}

class SharedMachineCli : public ::testing::Test {
 protected:
  void SetUp() override { ::chmod(dir_.path().c_str(), 0755); }

  Result Run(std::vector<std::string> arguments) {
    return test::RunConsoleProgram(Converter(), {std::move(arguments), {}, std::nullopt}, dir_.path());
  }
  fs::path At(const std::string& name) const { return dir_.path() / name; }
  fs::path SharedFolder() { return test::MakeSharedFolder(dir_.path()); }

  test::TempDir dir_;
};

// Row 1. A folder given without a main book: the export goes into that
// folder, named after its first book, never beside a book that eudora.ini
// found elsewhere, where it replaced the user's own file of that name.
TEST_F(SharedMachineCli, AFolderExportStaysInTheFolderGiven) {
  fs::create_directories(At("eudora/Nickname"));
  fs::create_directories(At("victim"));
  test::WriteBytes(At("victim/budget.txt"), "alias boss boss@x\r\n");
  test::WriteBytes(At("victim/budget.csv"), "the user's own spreadsheet");
  test::WriteBytes(At("eudora/eudora.ini"), "[Settings]\r\nExtraNicknameDirs=../victim\r\n");
  const Result extra = Run({"--export", "csv", "eudora"});
  EXPECT_EQ(extra.status, 0) << extra.err;
  EXPECT_EQ(test::ReadBytes(At("victim/budget.csv")), "the user's own spreadsheet");
  EXPECT_NE(test::ReadBytes(At("eudora/budget.csv")).find("boss@x"), std::string::npos);
  EXPECT_NE(extra.out.find("to:\neudora/budget.csv\n"), std::string::npos) << extra.out;

  // A book of its Nickname folder first: in the folder given too; with a
  // main book, beside it as ever.
  test::WriteBytes(At("eudora/Nickname/friends.txt"), "alias ann ann@x\r\n");
  const Result nickname = Run({"--export", "csv", "eudora/"});
  EXPECT_NE(nickname.out.find("to:\neudora/friends.csv\n"), std::string::npos) << nickname.out;
  EXPECT_FALSE(fs::exists(At("eudora/Nickname/friends.csv")));
  test::WriteBytes(At("eudora/nndbase.txt"), "alias main main@x\r\n");
  const Result main = Run({"--export", "csv", "eudora"});
  EXPECT_NE(main.out.find("to:\neudora/nndbase.csv\n"), std::string::npos) << main.out;
}

// Rows 2, 3 and 4. In a shared sticky folder, a folder link, a regular file
// (also one with two names) and a FIFO another user planted are refused,
// each refusal naming the path and the rule; the user's own file there is
// written as ever.
TEST_F(SharedMachineCli, InASharedFolderWhatAnotherUserPlantedIsNotWritten) {
  SKIP_UNLESS_ROOT();
  const fs::path shared = SharedFolder();
  const fs::path private_folder = At("rootdir");
  fs::create_directory(private_folder);
  ::chmod(private_folder.c_str(), 0700);
  ASSERT_TRUE(MakeFile(At("book.txt"), "alias secret secret@x\r\n", 0600));
  ASSERT_TRUE(AsNobody([&] {
    return ::symlink(private_folder.c_str(), (shared / "sub").c_str()) == 0 &&
           MakeFile(shared / "planted.csv", "nobody's", 0666) &&
           MakeFile(shared / "first-name.csv", "nobody's", 0666) &&
           ::link((shared / "first-name.csv").c_str(), (shared / "linked.csv").c_str()) == 0 &&
           ::mkfifo((shared / "pipe.csv").c_str(), 0666) == 0;
  }));
  // A reader on the FIFO, so that an open for writing never waits.
  const int reader = ::open((shared / "pipe.csv").c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  const struct {
    const char* target;
    const char* rule;
    fs::path untouched;  // what must not be written
  } cases[] = {
      {"shared/sub/out.csv", "a link another user made in a shared folder is not followed: "
                             "shared/sub",
       private_folder / "out.csv"},
      {"shared/planted.csv",
       "a file another user made in a shared folder is not written into: shared/planted.csv",
       shared / "planted.csv"},
      {"shared/linked.csv",
       "a file another user made in a shared folder is not written into: shared/linked.csv",
       shared / "first-name.csv"},
      {"shared/pipe.csv",
       "a file another user made in a shared folder is not written into: shared/pipe.csv",
       shared / "pipe.csv"},
  };
  for (const auto& c : cases) {
    const Result result = Run({"--export", "csv", "-o", c.target, "book.txt"});
    EXPECT_EQ(result.status, 1) << c.target;
    EXPECT_NE(result.err.find(c.rule), std::string::npos) << c.target << ": " << result.err;
    if (fs::is_fifo(c.untouched)) {
      char byte = 0;
      EXPECT_LE(::read(reader, &byte, 1), 0) << "the other user received the export";
    } else if (fs::exists(c.untouched)) {
      EXPECT_EQ(test::ReadBytes(c.untouched), "nobody's") << c.target;
    } else {
      EXPECT_FALSE(fs::exists(c.untouched)) << c.target;
    }
  }
  ::close(reader);
  ASSERT_TRUE(MakeFile(shared / "own.csv", "root's", 0600));
  const Result own = Run({"--export", "csv", "-o", "shared/own.csv", "book.txt"});
  EXPECT_EQ(own.status, 0) << own.err;
  EXPECT_NE(test::ReadBytes(shared / "own.csv").find("secret@x"), std::string::npos);
}

// Row 5. The export is no wider than its strictest book: a private book
// gives a private export, new, renamed over an earlier one, or copied over
// one with two names.
TEST_F(SharedMachineCli, AnExportIsNoWiderThanItsStrictestBook) {
  ASSERT_TRUE(MakeFile(At("open.txt"), "alias open open@x\r\n", 0644));
  ASSERT_TRUE(MakeFile(At("private.txt"), "alias secret secret@x\r\n", 0600));
  ASSERT_TRUE(MakeFile(At("renamed.csv"), "earlier", 0644));
  ASSERT_TRUE(MakeFile(At("copied.csv"), "earlier", 0644));
  fs::create_hard_link(At("copied.csv"), At("published.csv"));
  for (const char* target : {"new.csv", "renamed.csv", "copied.csv"}) {
    const Result result = Run({"--export", "csv", "-o", target, "open.txt", "private.txt"});
    EXPECT_EQ(result.status, 0) << target << ": " << result.err;
    EXPECT_NE(test::ReadBytes(At(target)).find("secret@x"), std::string::npos) << target;
    EXPECT_EQ(ModeOf(At(target)) & 077, 0u) << target << " is readable by others";
  }
  EXPECT_EQ(ModeOf(At("published.csv")) & 077, 0u);
}

// Row 6. Exporting one book never reads its folder's eudora.ini (another
// user may have planted it in a shared folder); the folder's main book does.
// Every open of the ini is seen (inotify), whatever it costs.
TEST_F(SharedMachineCli, OneBookDoesNotReadTheFoldersEudoraIni) {
  fs::create_directories(At("extra"));
  test::WriteBytes(At("friends.txt"), "alias ann ann@x\r\n");
  test::WriteBytes(At("nndbase.txt"), "alias main main@x\r\n");
  test::WriteBytes(At("extra/more.txt"), "alias more more@x\r\n");
  test::WriteBytes(At("eudora.ini"), "[Settings]\r\nExtraNicknameDirs=extra\r\n");
  const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  ASSERT_GE(watch, 0);
  ASSERT_GE(::inotify_add_watch(watch, At("eudora.ini").c_str(), IN_OPEN), 0);
  const auto opened = [watch] {
    char events[4096];
    bool any = false;
    while (::read(watch, events, sizeof events) > 0) any = true;
    return any;
  };
  const Result one = Run({"--export", "csv", "friends.txt"});
  EXPECT_EQ(one.status, 0) << one.err;
  EXPECT_FALSE(opened()) << "eudora.ini was read for a book that is not the folder's main book";
  const Result main = Run({"--export", "csv", "nndbase.txt"});
  EXPECT_EQ(main.status, 0) << main.err;
  EXPECT_TRUE(opened()) << "the main book's folder: its ini is read (the watch works)";
  ::close(watch);
}

// Row 6. What eudora.ini may ask is bounded, and each bound met is a
// warning that names it: its size, the folders it names, the books they hold.
TEST_F(SharedMachineCli, EudoraIniLimitsAreWarnings) {
  fs::create_directories(At("eudora"));
  test::WriteBytes(At("eudora/nndbase.txt"), "alias main main@x\r\n");
  std::string many = "[Settings]\r\nExtraNicknameDirs=";
  for (int i = 0; i < 300; ++i) {
    fs::create_directories(At("f" + std::to_string(i)));
    many += "../f" + std::to_string(i) + ";";
  }
  fs::create_directories(At("books"));
  for (int i = 0; i < 4100; ++i) std::ofstream(At("books/b" + std::to_string(i) + ".txt"));
  const struct {
    std::string ini;
    const char* warning;
  } cases[] = {
      {many + "\r\n", "names more than 256 extra nickname folders; the rest are not read"},
      {"[Settings]\r\nExtraNicknameDirs=../books\r\n",
       "hold more than 4096 books; the rest are not read"},
      {"[Settings]\r\n; " + std::string(1 << 20, 'x') + "\r\n", "larger than 1 MiB; not read"},
  };
  for (const auto& c : cases) {
    test::WriteBytes(At("eudora/eudora.ini"), c.ini);
    const Result result = Run({"--export", "csv", "-o", "out.csv", "eudora"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.err.find(c.warning), std::string::npos) << result.err;
  }
}

// Row 7. An ini naming one folder 2,000 times, and a link to a book: each
// book is known by its file identity and read once.
TEST_F(SharedMachineCli, EachBookIsReadOnce) {
  fs::create_directories(At("eudora/Nickname"));
  test::WriteBytes(At("eudora/nndbase.txt"), "alias main main@x\r\n");
  test::WriteBytes(At("eudora/Nickname/friends.txt"), "alias ann ann@x\r\n");
  fs::create_symlink("friends.txt", At("eudora/Nickname/again.txt"));
  std::string ini = "[Settings]\r\nExtraNicknameDirs=";
  for (int i = 0; i < 2000; ++i) ini += i % 2 == 0 ? "Nickname;" : "./Nickname/;";
  test::WriteBytes(At("eudora/eudora.ini"), ini + ".\r\n");
  const Result result = Run({"--export", "csv", "-o", "out.csv", "eudora"});
  EXPECT_EQ(result.status, 0) << result.err;
  const std::string csv = test::ReadBytes(At("out.csv"));
  EXPECT_EQ(Count(csv, "ann@x"), 1u) << csv.size() << " bytes";
  EXPECT_EQ(Count(csv, "main@x"), 1u);
  EXPECT_EQ(Count(result.out, "\n"), 4u) << result.out;  // two book lines, the status in two
}

// Row 8. Run as root, a link another user owns on the way to a target the
// program names itself (the page, the default export) is not followed; the
// refusal names it. A target the user names with -o still works.
TEST_F(SharedMachineCli, AsRootNoOtherUsersLinkLeadsToADefaultTarget) {
  SKIP_UNLESS_ROOT();
  const fs::path folder = At("alice");
  fs::create_directory(folder);
  ::chown(folder.c_str(), kNobody, kNobody);
  ASSERT_TRUE(AsNobody([&] {
    return MakeFile(folder / "book.txt", "alias a a@x\r\n", 0644) &&
           ::symlink("../chosen.csv", (folder / "book.csv").c_str()) == 0 &&
           ::symlink("../chosen.htm", (folder / "book.htm").c_str()) == 0;
  }));
  const struct {
    std::vector<std::string> arguments;
    const char* link;
  } cases[] = {
      {{"--export", "csv", "alice/book.txt"}, "alice/book.csv"},
      {{"alice/book.txt"}, "alice/book.htm"},
  };
  for (const auto& c : cases) {
    const Result result = Run(c.arguments);
    EXPECT_EQ(result.status, 1) << c.link;
    EXPECT_NE(result.err.find("run as root, the program does not follow a link another user made"),
              std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find(c.link), std::string::npos) << result.err;
  }
  EXPECT_FALSE(fs::exists(At("chosen.csv")));
  EXPECT_FALSE(fs::exists(At("chosen.htm")));
  const Result named = Run({"--export", "csv", "-o", "out.csv", "alice/book.txt"});
  EXPECT_EQ(named.status, 0) << named.err;
  EXPECT_TRUE(fs::exists(At("out.csv")));
}

// Row 9, as it happens: twelve runs at once with one settings folder; every
// run's book stays in veltra.ini.
TEST_F(SharedMachineCli, TwelveRunsAtOnceKeepEveryBook) {
  fs::create_directories(At("settings"));
  std::vector<std::thread> runs;
  for (int i = 0; i < 12; ++i) {
    const std::string book = "book" + std::to_string(i) + ".txt";
    test::WriteBytes(At(book), "alias a a@x\r\n");
    runs.emplace_back([this, book] { Run({"--settings-dir", "settings", book}); });
  }
  for (std::thread& run : runs) run.join();
  const std::string ini = test::ReadBytes(At("settings/veltra.ini"));
  for (int i = 0; i < 12; ++i) {
    EXPECT_NE(ini.find("AddressBook=book" + std::to_string(i) + ".txt\r\n"), std::string::npos)
        << ini;
  }
}

// Row 9, step by step: while another run holds the settings folder's lock,
// a run waits for it, then adds its book to what that run wrote. The test
// holds the lock itself, sees the run wait for it (/proc/locks lists the
// waiter), writes as the other run would, and lets go.
TEST_F(SharedMachineCli, ARunWaitsForTheSettingsLockAndKeepsWhatTheOtherWrote) {
  std::ifstream locks("/proc/locks");
  if (!locks) GTEST_SKIP() << "/proc/locks cannot be read: a waiting run cannot be seen";
  fs::create_directories(At("settings"));
  test::WriteBytes(At("settings/veltra.ini"), "AddressBook=first.txt\r\n");
  test::WriteBytes(At("mine.txt"), "alias a a@x\r\n");
  const fs::path lock_file = At("settings/veltra.ini.lock");
  // Not passed on to the converter, which would hold the lock with it.
  const int lock = ::open(lock_file.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0600);
  ASSERT_GE(lock, 0);
  ASSERT_EQ(::flock(lock, LOCK_EX), 0);
  struct stat facts {};
  ASSERT_EQ(::fstat(lock, &facts), 0);
  const std::string inode = ":" + std::to_string(facts.st_ino) + " ";
  const auto waiting = [&inode] {
    std::ifstream now("/proc/locks");
    for (std::string line; std::getline(now, line);) {
      if (line.find("->") != std::string::npos && line.find(inode) != std::string::npos) {
        return true;
      }
    }
    return false;
  };
  std::atomic<bool> ended{false};
  Result run;
  std::thread converter([&] {
    run = Run({"--settings-dir", "settings", "mine.txt"});
    ended = true;
  });
  while (!ended && !waiting()) std::this_thread::yield();
  const bool waited = !ended;
  test::WriteBytes(At("settings/veltra.ini"), "AddressBook=first.txt\r\nAddressBook=other.txt\r\n");
  ::close(lock);
  converter.join();
  EXPECT_TRUE(waited) << "the run wrote veltra.ini without the lock";
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(test::ReadBytes(At("settings/veltra.ini")),
            "AddressBook=first.txt\r\nAddressBook=other.txt\r\nAddressBook=mine.txt\r\n");
}

// Row 10. Standard output that is a book is refused as any target that is
// the book: appended to (>>) or opened for reading and writing (1<>).
TEST_F(SharedMachineCli, StandardOutputThatIsABookIsRefused) {
  const std::string book = "alias ann ann@x\r\n";
  for (const char* redirect : {">> book.txt", "1<> book.txt", ">> other.txt"}) {
    test::WriteBytes(At("book.txt"), book);
    test::WriteBytes(At("other.txt"), book);
    const std::string script =
        std::string("exec \"$0\" --export csv -o - other.txt book.txt ") + redirect;
    const Result result =
        test::RunProgram("/bin/sh", {{"-c", script, Converter().string()}, {}, std::nullopt}, dir_.path());
    EXPECT_EQ(result.status, 1) << redirect;
    EXPECT_NE(result.err.find("The export would overwrite the address book itself."),
              std::string::npos)
        << redirect << ": " << result.err;
    EXPECT_EQ(test::ReadBytes(At("book.txt")), book) << redirect;
    EXPECT_EQ(test::ReadBytes(At("other.txt")), book) << redirect;
  }
}

// Row 14. A book's file name holding a terminal's escape sequence is shown
// escaped on a terminal, as ls shows it; a pipe still gets its bytes.
TEST_F(SharedMachineCli, ATerminalSeesNamesEscaped) {
  fs::create_directories(At("eudora/Nickname"));
  test::WriteBytes(At("eudora/nndbase.txt"), "alias main main@x\r\n");
  test::WriteBytes(At("eudora/Nickname/\x1b]0;owned\x07\x1b[31mred.txt"), "alias r r@x\r\n");
  const std::vector<std::string> arguments{"--export", "csv", "-o", "out.csv", "eudora"};
  const std::string shown = RunOnTerminal(arguments, dir_.path());
  EXPECT_EQ(shown.find('\x1b'), std::string::npos) << shown;
  EXPECT_EQ(shown.find('\x07'), std::string::npos) << shown;
  EXPECT_NE(shown.find("Nickname/\\x1b]0;owned\\x07\\x1b[31mred.txt ("), std::string::npos)
      << shown;
  const Result piped = Run(arguments);
  EXPECT_NE(piped.out.find("Nickname/\x1b]0;owned\x07\x1b[31mred.txt ("), std::string::npos)
      << piped.out;
}

}  // namespace
}  // namespace veltrana
