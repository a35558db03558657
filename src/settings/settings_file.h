// The settings file "veltra.ini" in the program's own directory: one line
// "AddressBook=" and a path per history entry that differs from the current
// address book, then the current address book as the last line.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "base/failure.h"
#include "base/program_identity.h"
#include "settings/address_book_history.h"

namespace veltrana {

// Where the settings file lives. `make_working_directory`: the window makes
// that folder its working directory whenever it reads or writes the file,
// so an address book named without a folder is looked up there.
// `create_directory`: the folder, and any missing above it, is made when the
// file is written (a per-user settings folder that may not exist yet).
struct SettingsLocation {
  std::filesystem::path directory;
  bool make_working_directory = false;
  bool create_directory = false;

  [[nodiscard]] std::filesystem::path FilePath(FileAccess access) const;
  void EnterDirectory(FileAccess access) const;
};

// Reads the settings file into the history: every line of at least 13
// characters that begins with "AddressBook=" adds the rest of the line to
// the history. Returns the last such path, the current address book; none
// when no line gave one. Failures pass to the caller.
[[nodiscard]] std::optional<std::string> ReadSettingsFile(AddressBookHistory& history,
                                                          const SettingsLocation& location);

// The lock file beside the settings file that runs sharing a settings
// folder take in turn (flock, LockFileEx). It stays: removing it would let
// two runs hold locks on two different files.
inline constexpr std::string_view kSettingsLockName = "veltra.ini.lock";

// Rewrites the settings file from the history, then `addressbook` as the
// last line. The new file replaces the old one only once it is complete.
// Runs that share the settings folder take turns: each holds the folder's
// lock while it reads the file again, adds its own history to what other
// runs wrote there meanwhile (after theirs, at most 15 entries as ever), and
// rewrites it; so no run's address book is lost to another's rewrite.
void WriteSettingsFile(const AddressBookHistory& history, std::string_view addressbook,
                       const SettingsLocation& location);

// Where a test steps into WriteSettingsFile: when another run holds the
// lock, just before this one waits for it; and once the lock is held and the
// file read again, before it is rewritten. Empty functions are skipped.
struct SettingsWriteSteps {
  std::function<void()> waiting_for_lock;
  std::function<void()> merged;
};
// Tests only: the steps every later write takes (null: none).
void SetSettingsWriteSteps(const SettingsWriteSteps* steps);

}  // namespace veltrana
