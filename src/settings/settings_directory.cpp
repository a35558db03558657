#include "settings/settings_directory.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include "base/c_file.h"
#include "base/failure.h"
#include "settings/program_directory.h"

#if defined(_WIN32)
#include <windows.h>
// windows.h first
#include <shlobj.h>
#else
#include <pwd.h>
#include <unistd.h>
#endif

#ifndef VELTRANA_INSTALL_BINDIR
#define VELTRANA_INSTALL_BINDIR ""
#endif

namespace veltrana {

namespace {

constexpr int kProbeAttempts = 10;

#if defined(_WIN32)
std::filesystem::path RoamingAppData() {
  std::filesystem::path folder;
  PWSTR known = nullptr;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &known))) {
    folder = known;
  }
  CoTaskMemFree(known);
  if (folder.empty()) {
    if (const wchar_t* variable = _wgetenv(L"APPDATA")) folder = variable;
  }
  return folder;
}
#else
std::filesystem::path Variable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::filesystem::path(value) : std::filesystem::path();
}

// The home folder of the user database, for a program started without HOME.
std::filesystem::path DatabaseHome() {
  long size = sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr ||
      found->pw_dir == nullptr) {
    return {};
  }
  return std::filesystem::path(found->pw_dir);
}
#endif

bool IsSameFolder(const std::filesystem::path& a, const std::filesystem::path& b) {
  if (a.empty() || b.empty()) return false;
  std::error_code unknown;  // a folder that cannot be looked at is not the same
  return std::filesystem::equivalent(a, b, unknown);
}

bool HoldsSettingsFile(const std::filesystem::path& folder) {
  std::error_code unknown;  // a file that cannot be looked at counts as absent
  return std::filesystem::exists(folder / kSettingsFileName, unknown);
}

std::string ProbeName() {
  static std::random_device source;
  static std::mt19937_64 numbers(source());
  char name[40];
  std::snprintf(name, sizeof name, ".veltrana-probe-%016llx",
                static_cast<unsigned long long>(numbers()));
  return name;
}

}  // namespace

SettingsEnvironment SettingsEnvironment::Current() {
  SettingsEnvironment environment;
#if defined(_WIN32)
  environment.app_data = RoamingAppData();
#else
  environment.home = Variable("HOME");
  if (environment.home.empty()) environment.home = DatabaseHome();
  environment.xdg_config_home = Variable("XDG_CONFIG_HOME");
#endif
  return environment;
}

std::filesystem::path UserSettingsDirectory(const SettingsEnvironment& environment) {
  const std::filesystem::path& home = environment.home;
  const bool has_home = !home.empty() && home.is_absolute();
  switch (environment.platform) {
    case SettingsPlatform::kXdg:
      if (!environment.xdg_config_home.empty() && environment.xdg_config_home.is_absolute()) {
        return environment.xdg_config_home / "veltrana";
      }
      return has_home ? home / ".config" / "veltrana" : std::filesystem::path();
    case SettingsPlatform::kMacOS:
      return has_home ? home / "Library" / "Application Support" / "Veltrana"
                      : std::filesystem::path();
    case SettingsPlatform::kWindows:
      return environment.app_data.empty() ? std::filesystem::path()
                                          : environment.app_data / "Veltrana";
  }
  return {};
}

bool IsWritableFolder(const std::filesystem::path& folder) {
  if (folder.empty()) return false;
  for (int attempt = 0; attempt < kProbeAttempts; ++attempt) {
    const std::filesystem::path probe = folder / ProbeName();
    errno = 0;
    CFile file = OpenCFile(probe, "wbx");  // never touches an existing file
    if (!file) {
      if (errno == EEXIST) continue;
      return false;
    }
    const bool closed = std::fclose(file.release()) == 0;
    std::error_code kept;
    const bool removed = std::filesystem::remove(probe, kept);
    return closed && removed && !kept;
  }
  return false;
}

SettingsLocation ChooseSettingsLocation(const std::filesystem::path& program_folder,
                                        const std::filesystem::path& system_folder,
                                        const SettingsEnvironment& environment) {
  const SettingsLocation beside_program{program_folder, true, false};
  if (!program_folder.empty() && !IsSameFolder(program_folder, system_folder) &&
      (HoldsSettingsFile(program_folder) || IsWritableFolder(program_folder))) {
    return beside_program;
  }
  const std::filesystem::path user_folder = UserSettingsDirectory(environment);
  if (user_folder.empty()) return beside_program;
  return SettingsLocation{user_folder, false, true};
}

SettingsLocation WindowSettingsLocation(const char* argument_zero) {
  return ChooseSettingsLocation(ProgramDirectory(argument_zero), VELTRANA_INSTALL_BINDIR,
                                SettingsEnvironment::Current());
}

void CreateSettingsDirectory(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> missing;
  for (std::filesystem::path at = folder; !at.empty(); at = at.parent_path()) {
    std::error_code unknown;  // what cannot be looked at is tried, and then reported
    if (std::filesystem::exists(at, unknown)) break;
    missing.push_back(at);
    if (at == at.parent_path()) break;
  }
  for (auto at = missing.rbegin(); at != missing.rend(); ++at) {
    std::error_code refused;
    const bool made = std::filesystem::create_directory(*at, refused);
    if (made) {
      std::filesystem::permissions(*at, std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::replace, refused);
    }
    if (refused) throw FileFailure(refused, FileAccess::kWrite);
  }
}

}  // namespace veltrana
