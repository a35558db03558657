// Where the window keeps its settings file: beside the program when it may
// (a portable copy, an existing installation), otherwise in the user's own
// settings folder, so that an installed program whose folder the user may
// not write still remembers its address books.
#pragma once

#include <filesystem>

#include "settings/settings_file.h"

namespace veltrana {

// Whose convention names the per-user settings folder.
enum class SettingsPlatform {
  kXdg,      // $XDG_CONFIG_HOME/veltrana, else ~/.config/veltrana
  kMacOS,    // ~/Library/Application Support/Veltrana
  kWindows,  // %APPDATA%\Veltrana
};

#if defined(_WIN32)
inline constexpr SettingsPlatform kThisSettingsPlatform = SettingsPlatform::kWindows;
#elif defined(__APPLE__)
inline constexpr SettingsPlatform kThisSettingsPlatform = SettingsPlatform::kMacOS;
#else
inline constexpr SettingsPlatform kThisSettingsPlatform = SettingsPlatform::kXdg;
#endif

// What names the per-user settings folder. Empty paths stand for unset
// variables.
struct SettingsEnvironment {
  SettingsPlatform platform = kThisSettingsPlatform;
  std::filesystem::path home;             // HOME (the user database's home when unset)
  std::filesystem::path xdg_config_home;  // XDG_CONFIG_HOME
  std::filesystem::path app_data;         // the roaming application data folder (APPDATA)

  // The running program's environment.
  [[nodiscard]] static SettingsEnvironment Current();
};

// The user's own settings folder for the platform; empty when the
// environment names none. A relative XDG_CONFIG_HOME is ignored, as the XDG
// base directory rules ask, and so is a relative HOME.
[[nodiscard]] std::filesystem::path UserSettingsDirectory(const SettingsEnvironment& environment);

// Whether a file can be made in `folder`, found by creating and removing a
// uniquely named empty file there: permission bits do not tell it for the
// administrator, on network shares or on a read-only file system.
[[nodiscard]] bool IsWritableFolder(const std::filesystem::path& folder);

// The window's settings place. The program's folder when the settings file
// exists there or the folder is writable; then the window also works in that
// folder, so an address book named without a folder is looked up beside the
// settings file. Otherwise the user's settings folder, created when the file
// is first written; the working directory is then left as the program found
// it. `system_folder`, the folder the program is installed into, is never
// taken as the program's own: settings written there would be shared by all
// users and outlive the package. Without a user folder the program's folder
// stays, and a write that cannot work there is reported.
[[nodiscard]] SettingsLocation ChooseSettingsLocation(const std::filesystem::path& program_folder,
                                                      const std::filesystem::path& system_folder,
                                                      const SettingsEnvironment& environment);

// The same for the running program, started as `argument_zero` (argv[0],
// for finding its folder where the system cannot tell).
[[nodiscard]] SettingsLocation WindowSettingsLocation(const char* argument_zero = nullptr);

// Makes `folder` and any missing folder above it, each open to its owner
// only. A failure is raised as the failure of a write.
void CreateSettingsDirectory(const std::filesystem::path& folder);

}  // namespace veltrana
