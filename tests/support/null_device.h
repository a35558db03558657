// A null device for tests that must never replace the machine's own: root
// makes one in the test's folder (a fault would then replace that one);
// others use /dev/null, which they could not replace anyway.
#pragma once

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>

namespace veltrana::test {

inline std::filesystem::path PrivateNullDevice(const std::filesystem::path& folder) {
  const std::filesystem::path own = folder / "null";
  if (::geteuid() == 0 && ::mknod(own.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) return own;
  return "/dev/null";
}

}  // namespace veltrana::test
