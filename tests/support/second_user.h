// A second user on the machine for the tests (POSIX): `nobody`, whose
// steps run in a child process, and a shared folder like /tmp.
#pragma once

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

namespace veltrana::test {

inline constexpr uid_t kNobody = 65534;

// Runs `step` in a child process as `nobody`; true when it succeeded. Only
// root may become another user.
inline bool AsNobody(const std::function<bool()>& step) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(3);
    ::_exit(step() ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The folder "shared" in `parent`, made like /tmp: everyone writes, each
// name stays its owner's (mode 1777).
inline std::filesystem::path MakeSharedFolder(const std::filesystem::path& parent) {
  const std::filesystem::path shared = parent / "shared";
  std::filesystem::create_directory(shared);
  ::chmod(shared.c_str(), 01777);
  return shared;
}

}  // namespace veltrana::test

#define SKIP_UNLESS_ROOT() \
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as a second user (nobody)"
