// The settings file "veltra.ini" in the program's own directory: one line
// "AddressBook=" and a path per history entry that differs from the current
// address book, then the current address book as the last line.
#pragma once

#include <filesystem>
#include <string>

#include "base/failure.h"
#include "page/converter_state.h"
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

  std::filesystem::path FilePath(const ConverterState& state, FileAccess access) const;
  void EnterDirectory(FileAccess access) const;
};

// Reads the settings file into the history: every line of at least 13
// characters that begins with "AddressBook=" sets `addressbook` to the rest
// of the line and adds it to the history. Failures pass to the caller.
void ReadSettingsFile(ConverterState& state, AddressBookHistory& history,
                      const SettingsLocation& location);

// Rewrites the settings file from the history and `addressbook`. The new
// file replaces the old one only once it is complete. Stores
// "WriteINIFile()" in `proc`.
void WriteINIFile(ConverterState& state, const AddressBookHistory& history,
                  const SettingsLocation& location);

}  // namespace veltrana
