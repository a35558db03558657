// The settings file "veltra.ini" in the program's own directory: one line
// "AddressBook=" and a path per history entry that differs from the current
// address book, then the current address book as the last line.
#pragma once

#include <filesystem>
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

// Rewrites the settings file from the history, then `addressbook` as the
// last line. The new file replaces the old one only once it is complete.
void WriteSettingsFile(const AddressBookHistory& history, std::string_view addressbook,
                       const SettingsLocation& location);

}  // namespace veltrana
