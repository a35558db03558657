#include "settings/program_directory.h"

#include <cstdlib>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#elif defined(__APPLE__)
#include <mach-o/dyld.h>

#include <cstdint>
#endif

namespace veltrana {

namespace {

std::filesystem::path ExecutablePath() {
#if defined(_WIN32)
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return std::filesystem::path(std::wstring(buffer.data(), length));
    buffer.resize(buffer.size() * 2);
  }
#elif defined(__APPLE__)
  std::uint32_t size = 0;
  _NSGetExecutablePath(nullptr, &size);
  std::vector<char> buffer(size + 1);
  if (_NSGetExecutablePath(buffer.data(), &size) != 0) return {};
  return std::filesystem::path(buffer.data());
#else
  std::error_code unknown;
  std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", unknown);
  return unknown ? std::filesystem::path() : path;
#endif
}

bool IsProgramFile(const std::filesystem::path& path) {
  std::error_code unknown;
  return std::filesystem::is_regular_file(path, unknown);
}

std::filesystem::path FolderOf(const std::filesystem::path& program) {
  std::error_code unknown;
  const std::filesystem::path absolute = std::filesystem::absolute(program, unknown);
  return unknown ? std::filesystem::path() : absolute.parent_path();
}

}  // namespace

std::filesystem::path DirectoryOfCommand(std::string_view argument_zero,
                                         std::string_view search_path) {
  if (argument_zero.empty()) return {};
  const std::filesystem::path name(argument_zero);
  if (argument_zero.find('/') != std::string_view::npos) {
    return IsProgramFile(name) ? FolderOf(name) : std::filesystem::path();
  }
  for (;;) {
    const std::size_t colon = search_path.find(':');
    const std::string_view folder = search_path.substr(0, colon);
    // An empty entry is the working directory.
    const std::filesystem::path program =
        std::filesystem::path(folder.empty() ? std::string_view(".") : folder) / name;
    if (IsProgramFile(program)) return FolderOf(program);
    if (colon == std::string_view::npos) return {};
    search_path.remove_prefix(colon + 1);
  }
}

std::filesystem::path ProgramDirectory(const char* argument_zero) {
  const std::filesystem::path executable = ExecutablePath();
  if (!executable.empty()) return executable.parent_path();
  if (argument_zero == nullptr) return {};
  const char* search_path = std::getenv("PATH");
  return DirectoryOfCommand(argument_zero, search_path != nullptr ? search_path : "");
}

}  // namespace veltrana
