// Where the window keeps its settings: beside the program when it may, else
// in the user's folder, made at the first write. Unwritable folders are made
// in ways that stop the administrator too: a path below a regular file, a
// read-only tmpfs (skipped where mounting is not allowed).
#include "settings/settings_directory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include "conversion/conversion_run.h"
#include "form/settings_procedures.h"
#include "settings/settings_history.h"
#include "support/recording_window.h"
#include "support/run_outcome.h"
#include "support/temp_dir.h"

namespace veltrana {
namespace {

namespace fs = std::filesystem;

bool Shell(const std::string& command) {
  return std::system((command + " 2>/dev/null").c_str()) == 0;
}

// A folder on a small tmpfs mounted read-only, with or without a settings
// file put there before.
class ReadOnlyFolder {
 public:
  ReadOnlyFolder(const fs::path& at, const std::string& settings) : at_(at) {
    fs::create_directories(at);
    mounted_ = Shell("mount -t tmpfs -o size=64k tmpfs '" + at.string() + "'");
    if (!mounted_) return;
    if (!settings.empty()) test::WriteBytes(at / "veltra.ini", settings);
    read_only_ = Shell("mount -o remount,ro '" + at.string() + "'");
  }
  ~ReadOnlyFolder() {
    if (mounted_) Shell("umount '" + at_.string() + "'");
  }
  ReadOnlyFolder(const ReadOnlyFolder&) = delete;
  ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

  bool ready() const { return read_only_; }

 private:
  fs::path at_;
  bool mounted_ = false;
  bool read_only_ = false;
};

constexpr const char* kNoMount =
    "cannot mount a read-only tmpfs here (needs root with CAP_SYS_ADMIN); the folders below a "
    "regular file cover an unwritable folder";

std::size_t Entries(const fs::path& folder) {
  return static_cast<std::size_t>(
      std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

class SettingsDirectoryTest : public ::testing::Test {
 protected:
  SettingsDirectoryTest() { test::WriteBytes(root_.path() / "plain", "x"); }

  // An environment whose user folder is `config`/veltrana.
  static SettingsEnvironment Xdg(const fs::path& config) {
    SettingsEnvironment environment;
    environment.platform = SettingsPlatform::kXdg;
    environment.home = "/nonexistent-home";
    environment.xdg_config_home = config;
    return environment;
  }

  // A folder nobody can write or make: its parent is a regular file.
  fs::path BelowAFile() const { return root_.path() / "plain" / "folder"; }

  test::TempDir root_;
};

TEST(UserSettingsDirectory, FollowsEachPlatformsConvention) {
  using P = SettingsPlatform;
  const struct {
    const char* what;
    P platform;
    const char* home;
    const char* xdg;
    const char* app_data;
    const char* expected;
  } cases[] = {
      {"XDG default", P::kXdg, "/home/u", "", "", "/home/u/.config/veltrana"},
      {"XDG_CONFIG_HOME", P::kXdg, "/home/u", "/cfg", "", "/cfg/veltrana"},
      {"relative XDG_CONFIG_HOME ignored", P::kXdg, "/home/u", "cfg", "",
       "/home/u/.config/veltrana"},
      {"no HOME", P::kXdg, "", "", "", ""},
      {"relative HOME", P::kXdg, "home/u", "", "", ""},
      {"macOS", P::kMacOS, "/Users/u", "/cfg", "", "/Users/u/Library/Application Support/Veltrana"},
      {"macOS without HOME", P::kMacOS, "", "", "", ""},
      {"Windows", P::kWindows, "/home/u", "/cfg", "/Roaming", "/Roaming/Veltrana"},
      {"Windows without APPDATA", P::kWindows, "/home/u", "/cfg", "", ""},
  };
  // The same folders wherever the tests run: an absolute path on Windows
  // begins with a drive.
#if defined(_WIN32)
  const auto absolute = [](const char* path) {
    return *path == '/' ? fs::path(std::string("C:") + path) : fs::path(path);
  };
#else
  const auto absolute = [](const char* path) { return fs::path(path); };
#endif
  for (const auto& c : cases) {
    SettingsEnvironment environment;
    environment.platform = c.platform;
    environment.home = absolute(c.home);
    environment.xdg_config_home = absolute(c.xdg);
    environment.app_data = absolute(c.app_data);
    EXPECT_EQ(UserSettingsDirectory(environment), absolute(c.expected)) << c.what;
  }
}

TEST_F(SettingsDirectoryTest, WritableIsTriedWithARealFileThatIsRemovedAgain) {
  const fs::path empty = root_.path() / "empty";
  fs::create_directory(empty);
  EXPECT_TRUE(IsWritableFolder(empty));
  EXPECT_EQ(Entries(empty), 0u) << "the probe file is removed";
  EXPECT_FALSE(IsWritableFolder(root_.path() / "missing"));
  EXPECT_FALSE(IsWritableFolder(root_.path() / "plain"));
  EXPECT_FALSE(IsWritableFolder(BelowAFile()));
  EXPECT_FALSE(IsWritableFolder(fs::path()));
  ReadOnlyFolder read_only(root_.path() / "ro", "");
  if (!read_only.ready()) GTEST_SKIP() << kNoMount;
  EXPECT_FALSE(IsWritableFolder(root_.path() / "ro"));
}

TEST_F(SettingsDirectoryTest, TheProgramFolderComesFirstWhenItIsWritable) {
  const fs::path program = root_.path() / "program";
  const fs::path config = root_.path() / "config";
  fs::create_directory(program);
  SettingsEnvironment nowhere = Xdg("");
  nowhere.home.clear();
  const struct {
    const char* what;
    fs::path program, system;
    SettingsEnvironment environment;
    SettingsLocation expected;
  } cases[] = {
      {"writable program folder", program, "/usr/bin", Xdg(config), {program, true, false}},
      {"the system's program folder",
       program,
       program,
       Xdg(config),
       {config / "veltrana", false, true}},
      {"unwritable program folder",
       BelowAFile(),
       "",
       Xdg(config),
       {config / "veltrana", false, true}},
      {"unknown program folder", "", "", Xdg(config), {config / "veltrana", false, true}},
      {"and no user folder either", BelowAFile(), "", nowhere, {BelowAFile(), true, false}},
  };
  for (const auto& c : cases) {
    const SettingsLocation chosen = ChooseSettingsLocation(c.program, c.system, c.environment);
    EXPECT_EQ(chosen.directory, c.expected.directory) << c.what;
    EXPECT_EQ(chosen.make_working_directory, c.expected.make_working_directory) << c.what;
    EXPECT_EQ(chosen.create_directory, c.expected.create_directory) << c.what;
  }
  EXPECT_FALSE(fs::exists(config)) << "choosing makes no folder";
  EXPECT_EQ(Entries(program), 0u);
}

TEST_F(SettingsDirectoryTest, AReadOnlyProgramFolderKeepsAnExistingSettingsFile) {
  const fs::path with = root_.path() / "with", without = root_.path() / "without";
  ReadOnlyFolder with_settings(with, "AddressBook=old.txt\r\n");
  ReadOnlyFolder without_settings(without, "");
  if (!with_settings.ready() || !without_settings.ready()) GTEST_SKIP() << kNoMount;
  const SettingsEnvironment environment = Xdg(root_.path() / "config");

  const SettingsLocation kept = ChooseSettingsLocation(with, "", environment);
  EXPECT_EQ(kept.directory, with);
  EXPECT_TRUE(kept.make_working_directory);
  EXPECT_FALSE(kept.create_directory);

  const SettingsLocation user = ChooseSettingsLocation(without, "", environment);
  EXPECT_EQ(user.directory, root_.path() / "config" / "veltrana");
  EXPECT_FALSE(user.make_working_directory);
  EXPECT_TRUE(user.create_directory);
}

TEST_F(SettingsDirectoryTest, TheUsersFolderIsMadeAtTheFirstWriteNotAtTheStart) {
  const fs::path config = root_.path() / "home" / ".config";
  const SettingsLocation location = ChooseSettingsLocation(BelowAFile(), "", Xdg(config));
  const fs::path working = fs::current_path();
  ConverterState state = LoadedConverterState();
  SettingsHistory settings(location);
  test::RecordingWindow window;

  EXPECT_EQ(LoadSettings(state, settings, window), SettingsLoad::kNotFound);
  EXPECT_FALSE(fs::exists(root_.path() / "home")) << "a start makes no folder";

  settings.UpdateAddressBookList("/books/a.txt");
  state.addressbook = "/books/a.txt";
  WriteINIFile(state, settings);
  EXPECT_EQ(test::ReadBytes(config / "veltrana" / "veltra.ini"), "AddressBook=/books/a.txt\r\n");
#if !defined(_WIN32)  // Windows folders carry access lists, not these bits
  for (const fs::path& made : {root_.path() / "home", config, config / "veltrana"}) {
    EXPECT_EQ(fs::status(made).permissions() & fs::perms::all, fs::perms::owner_all)
        << made << " is the user's own";
  }
#endif
  EXPECT_EQ(fs::current_path(), working) << "the working directory is left alone";

  ConverterState next = LoadedConverterState();
  SettingsHistory reread(location);
  EXPECT_EQ(LoadSettings(next, reread, window), SettingsLoad::kRead);
  EXPECT_EQ(next.addressbook, "/books/a.txt");
  EXPECT_TRUE(window.messages.empty());
}

TEST_F(SettingsDirectoryTest, AUsersFolderThatCannotBeMadeIsReportedByTheRun) {
  const fs::path books = root_.path() / "books";
  fs::create_directory(books);
  test::WriteBytes(books / "a.txt", "alias x y\r\n");
  ReadOnlyFolder read_only(root_.path() / "ro", "");
  const struct {
    const char* what;
    fs::path config;
    const char* report;
  } cases[] = {
      {"XDG_CONFIG_HOME below a regular file", BelowAFile(), "Error  76: Path not found"},
      {"veltrana a regular file", root_.path(), "Error  76: Path not found"},
      {"XDG_CONFIG_HOME on a read-only file system", root_.path() / "ro",
       "Error  75: Path/File access error"},
  };
  test::WriteBytes(root_.path() / "veltrana", "x");
  for (const auto& c : cases) {
    if (c.config == root_.path() / "ro" && !read_only.ready()) {
      std::cout << "[ SKIPPED  ] " << c.what << ": " << kNoMount << "\n";
      continue;
    }
    SCOPED_TRACE(c.what);
    ConverterState state = LoadedConverterState();
    SettingsHistory settings(ChooseSettingsLocation(BelowAFile(), "", Xdg(c.config)));
    SettingsEndStep end_step(settings);
    test::RecordingWindow window((books / "a.txt").string());
    RunOptions options;
    options.history = &end_step;
    std::filesystem::path htmlfile;
    EXPECT_EQ(test::RunThrough(state, window, htmlfile, options), test::RunOutcome::kFailed);
    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_EQ(window.messages[0], std::string(c.report) + "\r\nProcedure: WriteINIFile()");
    EXPECT_TRUE(fs::exists(books / "a.htm")) << "the page stands";
    EXPECT_EQ(settings.history().entries().size(), 1u) << "the history in memory keeps the book";
    fs::remove(books / "a.htm");
  }
}

}  // namespace
}  // namespace veltrana
