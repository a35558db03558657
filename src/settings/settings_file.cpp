#include "settings/settings_file.h"

#include <atomic>
#include <cerrno>

#include "base/replacing_file.h"
#include "base/text_file.h"
#include "base/text_positions.h"
#include "settings/settings_directory.h"

namespace veltrana {

namespace {

constexpr std::string_view kKey = "AddressBook=";

std::atomic<const SettingsWriteSteps*> write_steps{nullptr};

void Step(const std::function<void()> SettingsWriteSteps::*step) {
  const SettingsWriteSteps* steps = write_steps.load();
  if (steps != nullptr && steps->*step) (steps->*step)();
}

// Holds the settings folder's lock, waiting while another run has it. The
// lock file is reached as any file the program writes: no link another
// user planted on the way, and no such user's file in a shared folder.
native::File LockSettingsFolder(const std::filesystem::path& folder) {
  const std::filesystem::path lock =
      ReplacingFile::FollowLinksSafely(folder) / std::string(kSettingsLockName);
  if (native::IsPlantedFile(lock)) throw PlantedFile(lock.string());
  if (native::KindAt(lock) == native::Kind::kLink) {
    if (!native::MayFollowLink(lock)) throw PlantedLink(lock.string());
  }
  native::File file = native::File::OpenForLock(lock);
  if (!file.Lock(false)) {
    Step(&SettingsWriteSteps::waiting_for_lock);
    file.Lock(true);
  }
  return file;
}

// The history as the file holds it now, with `ours` added after it. A file
// that is missing or cannot be read adds nothing, as at the window's start.
AddressBookHistory Merged(const AddressBookHistory& ours, const SettingsLocation& location) {
  AddressBookHistory merged;
  try {
    static_cast<void>(ReadSettingsFile(merged, location));
  } catch (const Failure& failure) {
    if (failure.code() != kFileNotFound && failure.code() != kPathFileAccessError) throw;
  }
  for (const std::string& entry : ours.entries()) merged.UpdateAddressBookList(entry);
  return merged;
}

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
  const std::filesystem::path path = location.FilePath(FileAccess::kWrite);
  const native::File lock = LockSettingsFolder(location.directory);
  const AddressBookHistory merged = Merged(history, location);
  Step(&SettingsWriteSteps::merged);
  ReplacingFile file;
  file.Open(path);
  for (const std::string& entry : merged.entries()) {
    if (entry != addressbook) file.WriteLine(std::string(kKey) + entry);
  }
  if (IsHistoryLine(addressbook)) file.WriteLine(std::string(kKey).append(addressbook));
  file.Commit();
}

void SetSettingsWriteSteps(const SettingsWriteSteps* steps) {
  write_steps.store(steps);
}

}  // namespace veltrana
