#include "settings/program_directory.h"

#include <string>
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

}  // namespace

std::filesystem::path ProgramDirectory() {
  return ExecutablePath().parent_path();
}

}  // namespace veltrana
