// The file operations of replacing a file, with POSIX descriptors.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "base/failure.h"
#include "base/native_file.h"

#if defined(__linux__)
#include <sys/xattr.h>
#endif

namespace veltrana::native {

namespace {

[[noreturn]] void ThrowErrno() {
  throw FileFailure(errno, FileAccess::kWrite);
}

int Descriptor(std::intptr_t handle) {
  return static_cast<int>(handle);
}

bool HasAccessList(const std::filesystem::path& path) {
#if defined(__linux__)
  // An access list beyond the permission bits; a copy of the bits alone
  // would lose it.
  return ::getxattr(path.c_str(), "system.posix_acl_access", nullptr, 0) > 0;
#else
  static_cast<void>(path);
  return false;
#endif
}

}  // namespace

FileFacts FactsOf(const std::filesystem::path& path) {
  struct stat facts {};
  if (::stat(path.c_str(), &facts) != 0) ThrowErrno();
  FileFacts result;
  result.links = static_cast<std::uint64_t>(facts.st_nlink);
  result.has_access_list = HasAccessList(path);
  result.mode = static_cast<unsigned>(facts.st_mode & 07777);
  result.owner = static_cast<unsigned>(facts.st_uid);
  result.group = static_cast<unsigned>(facts.st_gid);
  return result;
}

File File::CreateNew(const std::filesystem::path& path, bool private_until_taken_over) {
  const mode_t mode = private_until_taken_over ? 0600 : 0666;  // the umask applies
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
  if (fd < 0) ThrowErrno();
  return File(fd);
}

File File::OpenExisting(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) ThrowErrno();
  return File(fd);
}

File::File(File&& other) noexcept : handle_(other.handle_) {
  other.handle_ = -1;
}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    CloseQuietly();
    handle_ = other.handle_;
    other.handle_ = -1;
  }
  return *this;
}

File::~File() {
  CloseQuietly();
}

bool File::TakeOver(const FileFacts& earlier) {
  const int fd = Descriptor(handle_);
  if (earlier.owner != ::geteuid() || earlier.group != ::getegid()) {
    if (::fchown(fd, earlier.owner, earlier.group) != 0) {
      if (errno == EPERM) return false;
      ThrowErrno();
    }
  }
  // After the owner: changing the owner clears the set-id bits.
  if (::fchmod(fd, static_cast<mode_t>(earlier.mode)) != 0) ThrowErrno();
  return true;
}

void File::WriteAll(const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(Descriptor(handle_), data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      ThrowErrno();
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
}

void File::Reserve(std::uint64_t size) {
#if defined(__linux__)
  const int refused = ::posix_fallocate(Descriptor(handle_), 0, static_cast<off_t>(size));
  // A file system that cannot reserve says so; then there is nothing to do.
  if (refused != 0 && refused != EOPNOTSUPP && refused != EINVAL) {
    throw FileFailure(refused, FileAccess::kWrite);
  }
#else
  static_cast<void>(size);
#endif
}

void File::Truncate(std::uint64_t size) {
  if (::ftruncate(Descriptor(handle_), static_cast<off_t>(size)) != 0) ThrowErrno();
}

void File::Sync() {
  if (::fsync(Descriptor(handle_)) != 0) ThrowErrno();
}

void File::Close() {
  const int fd = Descriptor(handle_);
  handle_ = -1;
  if (::close(fd) != 0 && errno != EINTR) ThrowErrno();
}

void File::CloseQuietly() noexcept {
  if (handle_ >= 0) ::close(Descriptor(handle_));
  handle_ = -1;
}

void Replace(const std::filesystem::path& target, const std::filesystem::path& replacement) {
  if (::rename(replacement.c_str(), target.c_str()) != 0) ThrowErrno();
}

bool Remove(const std::filesystem::path& path) noexcept {
  return ::unlink(path.c_str()) == 0;
}

}  // namespace veltrana::native
