#include "settings/settings_file.h"

#include <cerrno>

#include "base/replacing_file.h"
#include "base/text_file.h"
#include "base/text_positions.h"
#include "settings/settings_directory.h"

namespace veltrana {

namespace {

constexpr std::string_view kKey = "AddressBook=";

}  // namespace

// Without a folder there is no settings file: reading finds none, and a
// write fails where it would otherwise land in whatever folder is current.
std::filesystem::path SettingsLocation::FilePath(FileAccess access) const {
  if (directory.empty()) throw FileFailure(ENOENT, access);
  return directory / kSettingsFileName;
}

void SettingsLocation::EnterDirectory(FileAccess access) const {
  if (!make_working_directory) return;
  std::error_code refused;
  std::filesystem::current_path(directory, refused);
  if (refused) throw FileFailure(refused, access);
}

std::optional<std::string> ReadSettingsFile(AddressBookHistory& history,
                                            const SettingsLocation& location) {
  location.EnterDirectory(FileAccess::kRead);
  const std::string file = ReadTextFile(location.FilePath(FileAccess::kRead));
  std::optional<std::string> current;
  LineCursor cursor(file);
  std::string_view line;
  while (cursor.Next(line)) {
    if (line.size() <= kKey.size() || !line.starts_with(kKey)) continue;
    current.emplace(line.substr(kKey.size()));
    history.UpdateAddressBookList(*current);
  }
  return current;
}

void WriteSettingsFile(const AddressBookHistory& history, std::string_view addressbook,
                       const SettingsLocation& location) {
  if (location.create_directory) CreateSettingsDirectory(location.directory);
  location.EnterDirectory(FileAccess::kWrite);
  ReplacingFile file;
  file.Open(location.FilePath(FileAccess::kWrite));
  for (const std::string& entry : history.entries()) {
    if (entry != addressbook) file.WriteLine(std::string(kKey) + entry);
  }
  if (IsHistoryLine(addressbook)) file.WriteLine(std::string(kKey).append(addressbook));
  file.Commit();
}

}  // namespace veltrana
