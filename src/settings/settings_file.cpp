#include "settings/settings_file.h"

#include <cerrno>

#include "base/replacing_file.h"
#include "base/text_file.h"
#include "base/text_positions.h"
#include "page/procedure_name.h"
#include "settings/settings_directory.h"

namespace veltrana {

namespace {

constexpr std::string_view kKey = "AddressBook=";

}  // namespace

// Without a folder there is no settings file: reading finds none, and a
// write fails where it would otherwise land in whatever folder is current.
std::filesystem::path SettingsLocation::FilePath(const ConverterState& state,
                                                 FileAccess access) const {
  if (directory.empty()) throw FileFailure(ENOENT, access);
  return directory / state.inifile;
}

void SettingsLocation::EnterDirectory(FileAccess access) const {
  if (!make_working_directory) return;
  std::error_code refused;
  std::filesystem::current_path(directory, refused);
  if (refused) throw FileFailure(refused, access);
}

void ReadSettingsFile(ConverterState& state, AddressBookHistory& history,
                      const SettingsLocation& location) {
  location.EnterDirectory(FileAccess::kRead);
  const std::string file = ReadTextFile(location.FilePath(state, FileAccess::kRead));
  LineCursor cursor(file);
  std::string_view line;
  while (cursor.Next(line)) {
    if (line.size() <= kKey.size() || !line.starts_with(kKey)) continue;
    state.addressbook.assign(line.substr(kKey.size()));
    history.UpdateAddressBookList(state, state.addressbook);
  }
}

void WriteINIFile(ConverterState& state, const AddressBookHistory& history,
                  const SettingsLocation& location) {
  const ProcedureName name(state, "WriteINIFile()");
  if (location.create_directory) CreateSettingsDirectory(location.directory);
  location.EnterDirectory(FileAccess::kWrite);
  ReplacingFile file;
  file.Open(location.FilePath(state, FileAccess::kWrite));
  for (const std::string& entry : history.entries()) {
    if (entry != state.addressbook) file.WriteLine(std::string(kKey) + entry);
  }
  file.WriteLine(std::string(kKey) + state.addressbook);
  file.Commit();
}

}  // namespace veltrana
