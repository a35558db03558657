#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "form/settings_procedures.h"
#include "settings/program_directory.h"
#include "settings/settings_history.h"
#include "support/recording_window.h"
#include "support/temp_dir.h"

namespace veltrana {
namespace {

using Paths = std::vector<std::string>;

std::string Ini(const Paths& paths) {
  std::string text;
  for (const std::string& path : paths) text += "AddressBook=" + path + "\r\n";
  return text;
}

class SettingsFileTest : public ::testing::Test {
 protected:
  // A window start: defaults, then the settings read.
  SettingsLoad Load() {
    state_ = LoadedConverterState();
    settings_ = SettingsHistory(location_);
    window_ = test::RecordingWindow();
    return LoadSettings(state_, settings_, window_);
  }

  void Write() { WriteINIFile(state_, settings_); }
  // The same history and address book, written to the settings file at `at`.
  void WriteAt(const SettingsLocation& at) {
    SettingsHistory there(at);
    for (const std::string& entry : settings_.history().entries()) {
      there.UpdateAddressBookList(entry);
    }
    WriteINIFile(state_, there);
  }
  const std::vector<std::string>& History() const { return settings_.history().entries(); }
  std::string IniText() const { return test::ReadBytes(dir_.File("veltra.ini")); }
  void SetIni(const std::string& text) { test::WriteBytes(dir_.File("veltra.ini"), text); }

  test::TempDir dir_;
  SettingsLocation location_{dir_.path(), false};
  ConverterState state_ = LoadedConverterState();
  SettingsHistory settings_{location_};
  test::RecordingWindow window_;
};

TEST_F(SettingsFileTest, NoFileKeepsThePresetAndAnEmptyFileReadsAsEmpty) {
  EXPECT_EQ(Load(), SettingsLoad::kNotFound);
  EXPECT_EQ(state_.addressbook, "c:\\eudora\\nndbase.txt");
  EXPECT_TRUE(History().empty());
  SetIni("");
  EXPECT_EQ(Load(), SettingsLoad::kRead);
  EXPECT_EQ(state_.addressbook, "c:\\eudora\\nndbase.txt");
  EXPECT_TRUE(History().empty());
  EXPECT_TRUE(window_.messages.empty());
}

TEST_F(SettingsFileTest, ReadsAcceptedLinesOnlyAndKeepsValuesUnchanged) {
  SetIni(
      "AddressBook=\r\naddressbook=lower\r\n AddressBook=blank\r\n[Settings]\r\n\r\n"
      "AddressBook=c:\\a.txt\nAddressBook= lead\rAddressBook=\"q\" x \r\n");
  EXPECT_EQ(Load(), SettingsLoad::kRead);
  EXPECT_EQ(History(), (Paths{"c:\\a.txt", " lead", "\"q\" x "}));
  EXPECT_EQ(state_.addressbook, "\"q\" x ");
  EXPECT_EQ(state_.proc, "UpdateAddressBookList()");
  // Skipped lines are gone at the next rewrite.
  Write();
  EXPECT_EQ(IniText(), Ini({"c:\\a.txt", " lead", "\"q\" x "}));
  EXPECT_EQ(state_.proc, "UpdateAddressBookList()") << "the caller's name is back";
}

TEST_F(SettingsFileTest, HistoryAndCurrentBookRoundTrip) {
  const struct {
    const char* what;
    Paths file;
    Paths history;
    std::string current;
    Paths rewritten;
  } cases[] = {
      {"current in the middle goes last", {"A", "C", "B"}, {"A", "C", "B"}, "B", {"A", "C", "B"}},
      {"repeated path", {"A", "A", "B", "A"}, {"A", "B"}, "A", {"B", "A"}},
      {"letter case counts", {"a.txt", "A.TXT"}, {"a.txt", "A.TXT"}, "A.TXT", {"a.txt", "A.TXT"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SetIni(Ini(c.file));
    ASSERT_EQ(Load(), SettingsLoad::kRead);
    EXPECT_EQ(History(), c.history);
    EXPECT_EQ(state_.addressbook, c.current);
    Write();
    EXPECT_EQ(IniText(), Ini(c.rewritten));
  }
}

TEST_F(SettingsFileTest, HistoryAThenBThenCWithCurrentBWritesACB) {
  for (const char* path : {"A", "B", "C"}) settings_.UpdateAddressBookList(path);
  state_.addressbook = "B";
  Write();
  EXPECT_EQ(IniText(), Ini({"A", "C", "B"}));
  ASSERT_EQ(Load(), SettingsLoad::kRead);
  EXPECT_EQ(History(), (Paths{"A", "C", "B"}));
  EXPECT_EQ(state_.addressbook, "B");
}

// A book name holding CR or LF would split into invented entries: it is
// neither listed nor written, and the other entries stay as they were.
TEST_F(SettingsFileTest, ANameWithALineBreakStaysOutOfTheHistory) {
  settings_.UpdateAddressBookList("A");
  for (const char* broken : {"x\r\nAddressBook=/etc/invented", "y\nAddressBook=z", "w\rq"}) {
    settings_.UpdateAddressBookList(broken);
    state_.addressbook = broken;
    Write();
    EXPECT_EQ(IniText(), Ini({"A"})) << broken;
    ASSERT_EQ(Load(), SettingsLoad::kRead);
    EXPECT_EQ(History(), (Paths{"A"}));
  }
}

TEST_F(SettingsFileTest, FullHistoryKeepsItsFifteenAndTheFileNamesTheCurrentLast) {
  Paths twenty;
  for (int i = 1; i <= 20; ++i) twenty.push_back("book" + std::to_string(i) + ".txt");
  SetIni(Ini(twenty));
  ASSERT_EQ(Load(), SettingsLoad::kRead);
  EXPECT_EQ(History(), Paths(twenty.begin(), twenty.begin() + 15));
  EXPECT_EQ(state_.addressbook, "book20.txt");
  Write();
  Paths sixteen(twenty.begin(), twenty.begin() + 15);
  sixteen.push_back("book20.txt");
  EXPECT_EQ(IniText(), Ini(sixteen));
  // Converting another book later: the 16th line is replaced, not added.
  settings_.UpdateAddressBookList("other.txt");
  state_.addressbook = "other.txt";
  Write();
  sixteen.back() = "other.txt";
  EXPECT_EQ(IniText(), Ini(sixteen));
}

TEST_F(SettingsFileTest, AnInaccessibleFileReadsAsMissing) {
  std::filesystem::create_directory(dir_.File("veltra.ini"));
  EXPECT_EQ(Load(), SettingsLoad::kNotFound);
  EXPECT_TRUE(window_.messages.empty());
}

TEST_F(SettingsFileTest, OtherReadFailuresShowTheReportNamingFormLoad) {
#if defined(_WIN32)
  location_.directory = dir_.path() / "bad?name";  // a character Windows refuses in names
#else
  location_.directory = dir_.path() / std::string(5000, 'd');  // a name too long for the system
#endif
  EXPECT_EQ(Load(), SettingsLoad::kFailed);
  ASSERT_EQ(window_.messages.size(), 1u);
  EXPECT_EQ(window_.messages[0], "Error  64: Bad file name\r\nProcedure: Form_Load()");
  EXPECT_EQ(window_.events.back(), "message 0 Veltrana: " + window_.messages[0]);
}

TEST_F(SettingsFileTest, FailedWriteLeavesTheOldFileWhole) {
  SetIni(Ini({"old.txt"}));
  settings_.UpdateAddressBookList("new.txt");
  state_.addressbook = "new.txt";
  // A settings folder that is really a regular file.
  test::WriteBytes(dir_.File("plain"), "x");
  SettingsLocation file_as_folder{dir_.path() / "plain", false};
  try {
    WriteAt(file_as_folder);
    ADD_FAILURE() << "wrote into a regular file";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.code(), 76);
  }
  // The settings file held by a directory.
  SettingsLocation held{dir_.path() / "held", false};
  std::filesystem::create_directories(held.directory / "veltra.ini");
  EXPECT_THROW(WriteAt(held), Failure);
  EXPECT_EQ(state_.proc, "WriteINIFile()");
  EXPECT_TRUE(std::filesystem::is_directory(held.directory / "veltra.ini"));
  EXPECT_EQ(IniText(), Ini({"old.txt"}));
  // No settings folder at all (the program's folder could not be found):
  // the write is reported, not made in whatever folder is current.
  try {
    WriteAt(SettingsLocation{});
    ADD_FAILURE() << "wrote settings without a settings folder";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.code(), 76);
  }
  SettingsHistory nowhere{SettingsLocation{}};
  EXPECT_EQ(LoadSettings(state_, nowhere, window_), SettingsLoad::kNotFound)
      << "nothing to read there either";
}

#if !defined(_WIN32)
// The settings file is replaced as the page is: a private file stays
// private, a link stays a link to the rewritten file.
TEST_F(SettingsFileTest, RewritingKeepsPermissionsAndLinks) {
  namespace fs = std::filesystem;
  fs::create_directory(dir_.path() / "kept");
  const fs::path real = dir_.path() / "kept" / "veltra.ini";
  test::WriteBytes(real, Ini({"old.txt"}));
  fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write);
  fs::create_symlink("kept/veltra.ini", dir_.path() / "veltra.ini");
  state_.addressbook = "new.txt";
  Write();
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir_.path() / "veltra.ini")));
  EXPECT_EQ(test::ReadBytes(real), Ini({"old.txt", "new.txt"}));
  EXPECT_EQ(fs::status(real).permissions(), fs::perms::owner_read | fs::perms::owner_write);
}
#endif

TEST_F(SettingsFileTest, TheWindowWorksInTheSettingsFolder) {
  const std::filesystem::path previous = std::filesystem::current_path();
  location_.make_working_directory = true;
  SetIni(Ini({"x.txt"}));
  EXPECT_EQ(Load(), SettingsLoad::kRead);
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(dir_.path()));
  std::filesystem::current_path(previous);
  Write();
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(dir_.path()));
  std::filesystem::current_path(previous);
}

// Two windows (or command lines) share a settings folder: both started
// from the same file, each converted its own book. The later rewrite keeps
// the earlier one's book, after the entries the file had, up to fifteen.
TEST_F(SettingsFileTest, RunsSharingTheFolderKeepEachOthersBooks) {
  SetIni(Ini({"old.txt"}));
  SettingsHistory first(location_);
  SettingsHistory second(location_);
  static_cast<void>(first.Read());
  static_cast<void>(second.Read());
  first.UpdateAddressBookList("first.txt");
  second.UpdateAddressBookList("second.txt");
  first.Write("first.txt");
  second.Write("second.txt");
  EXPECT_EQ(IniText(), Ini({"old.txt", "first.txt", "second.txt"}));
  // A full file keeps its fifteen; the current book is still written last.
  Paths fifteen;
  for (int i = 0; i < 15; ++i) fifteen.push_back("b" + std::to_string(i));
  SetIni(Ini(fifteen));
  second.Write("second.txt");
  fifteen.push_back("second.txt");
  EXPECT_EQ(IniText(), Ini(fifteen));
}

// The rewrite is one step for runs sharing the folder: a run that comes
// while another has read the file again and not yet rewritten it waits for
// the folder's lock, then reads what the other wrote. The second run starts
// at the first one's step between its read and its rewrite; the first goes
// on once the second waits (or, without a lock, has ended).
TEST_F(SettingsFileTest, ARunWaitsWhileAnotherRewritesTheFile) {
  SettingsHistory first(location_);
  SettingsHistory second(location_);
  first.UpdateAddressBookList("first.txt");
  second.UpdateAddressBookList("second.txt");
  std::mutex mutex;
  std::condition_variable changed;
  bool second_waits = false;
  bool second_ended = false;
  std::thread second_run;
  const std::thread::id first_id = std::this_thread::get_id();
  SettingsWriteSteps steps;
  steps.waiting_for_lock = [&] {
    const std::lock_guard<std::mutex> hold(mutex);
    second_waits = true;
    changed.notify_all();
  };
  steps.merged = [&] {
    if (std::this_thread::get_id() != first_id || second_run.joinable()) return;
    second_run = std::thread([&] {
      second.Write("second.txt");
      const std::lock_guard<std::mutex> hold(mutex);
      second_ended = true;
      changed.notify_all();
    });
    std::unique_lock<std::mutex> hold(mutex);
    changed.wait(hold, [&] { return second_waits || second_ended; });
  };
  SetSettingsWriteSteps(&steps);
  first.Write("first.txt");
  second_run.join();
  SetSettingsWriteSteps(nullptr);
  EXPECT_TRUE(second_waits) << "the second run rewrote the file while the first held it";
  EXPECT_EQ(IniText(), Ini({"first.txt", "second.txt"}));
  EXPECT_TRUE(test::Exists(dir_.path() / "veltra.ini.lock")) << "the lock file stays";
}

TEST(AddressBookHistory, AddsOnlyNewPathsWhileItHoldsFewerThanFifteen) {
  ConverterState state = LoadedConverterState();
  SettingsHistory settings{SettingsLocation{}};
  UpdateAddressBookList(state, settings, "a");
  UpdateAddressBookList(state, settings, "a");
  UpdateAddressBookList(state, settings, "A");
  EXPECT_EQ(settings.history().entries(), (Paths{"a", "A"}));
  EXPECT_EQ(state.proc, "UpdateAddressBookList()");
  for (int i = 0; i < 20; ++i) UpdateAddressBookList(state, settings, std::to_string(i));
  EXPECT_EQ(settings.history().entries().size(), 15u);
  EXPECT_EQ(settings.history().entries().back(), "12");
}

TEST(ProgramDirectory, IsTheFolderOfTheRunningExecutable) {
  const std::filesystem::path folder = ProgramDirectory();
  ASSERT_FALSE(folder.empty());
  EXPECT_TRUE(std::filesystem::exists(folder / ("veltrana_tests" VELTRANA_EXE_SUFFIX)));
}

#if !defined(_WIN32)
// Where the system cannot tell the program's folder, argv[0] does, as a
// shell found the program.
TEST(ProgramDirectory, ArgumentZeroFindsTheFolderAsAShellDoes) {
  namespace fs = std::filesystem;
  test::TempDir dir;
  fs::create_directories(dir.path() / "bin");
  fs::create_directories(dir.path() / "other");
  test::WriteBytes(dir.path() / "bin" / "veltrana", "#!");
  const std::string bin = fs::canonical(dir.path() / "bin").string();
  const std::string path = (dir.path() / "other").string() + ":" + bin;
  const struct {
    std::string argument_zero;
    std::string search_path;
    std::string folder;
  } cases[] = {
      {bin + "/veltrana", "", bin},   {"veltrana", path, bin},
      {"veltrana", "::" + path, bin}, {"veltrana", (dir.path() / "other").string(), ""},
      {bin + "/missing", path, ""},   {"", path, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(fs::path(DirectoryOfCommand(c.argument_zero, c.search_path)), fs::path(c.folder))
        << c.argument_zero << " on " << c.search_path;
  }
}
#endif

}  // namespace
}  // namespace veltrana
