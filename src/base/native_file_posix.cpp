// The file operations of replacing a file, with POSIX descriptors.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

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

std::optional<FileId> IdOf(const std::filesystem::path& path) noexcept {
  struct stat facts {};
  if (::stat(path.c_str(), &facts) != 0) return std::nullopt;
  return FileId{static_cast<std::uint64_t>(facts.st_dev), static_cast<std::uint64_t>(facts.st_ino)};
}

namespace {

Kind KindOfMode(mode_t mode) {
  if (S_ISREG(mode)) return Kind::kRegular;
  if (S_ISDIR(mode)) return Kind::kDirectory;
  if (S_ISLNK(mode)) return Kind::kLink;
  return Kind::kOther;
}

// A read that the system interrupted is tried again.
ssize_t ReadSome(int fd, char* data, std::size_t size) {
  for (;;) {
    const ssize_t got = ::read(fd, data, size);
    if (got >= 0 || errno != EINTR) return got;
  }
}

constexpr std::time_t kFreshSeconds = 5;

}  // namespace

Kind KindAt(const std::filesystem::path& path) noexcept {
  struct stat facts {};
  if (::lstat(path.c_str(), &facts) != 0) return Kind::kMissing;
  return KindOfMode(facts.st_mode);
}

Kind KindOf(const std::filesystem::path& path) noexcept {
  struct stat facts {};
  if (::stat(path.c_str(), &facts) != 0) return Kind::kMissing;
  return KindOfMode(facts.st_mode);
}

std::string ReadRegularFile(const std::filesystem::path& path, std::uint64_t most, FileId& id,
                            unsigned* permissions) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) throw FileFailure(errno, FileAccess::kRead);
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat before {};
  if (::fstat(fd, &before) != 0) throw FileFailure(errno, FileAccess::kRead);
  if (S_ISDIR(before.st_mode)) throw FileFailure(EISDIR, FileAccess::kRead);
  if (!S_ISREG(before.st_mode)) throw NotARegularFile();
  const auto size = static_cast<std::uint64_t>(before.st_size);
  if (size > most) throw TooLargeToRead();
  id = FileId{static_cast<std::uint64_t>(before.st_dev), static_cast<std::uint64_t>(before.st_ino)};
  if (permissions != nullptr) *permissions = static_cast<unsigned>(before.st_mode & 0777);
  // One byte more than the size, to see a file that grew.
  std::string content(static_cast<std::size_t>(size) + 1, '\0');
  std::size_t filled = 0;
  while (filled < content.size()) {
    const ssize_t got = ReadSome(fd, content.data() + filled, content.size() - filled);
    if (got < 0) throw FileFailure(errno, FileAccess::kRead);
    if (got == 0) break;
    filled += static_cast<std::size_t>(got);
  }
  struct stat after {};
  if (::fstat(fd, &after) != 0) throw FileFailure(errno, FileAccess::kRead);
  if (filled != size || after.st_size != before.st_size ||
      after.st_mtim.tv_sec != before.st_mtim.tv_sec ||
      after.st_mtim.tv_nsec != before.st_mtim.tv_nsec) {
    throw ChangedWhileRead();
  }
  content.resize(filled);
  return content;
}

std::optional<FileId> IdOfStandardOutput() noexcept {
  struct stat facts {};
  if (::fstat(STDOUT_FILENO, &facts) != 0) return std::nullopt;
  return FileId{static_cast<std::uint64_t>(facts.st_dev), static_cast<std::uint64_t>(facts.st_ino)};
}

namespace {

// What stands at `path` (not followed) is in a folder everyone may write
// that keeps each name to its owner (sticky, like /tmp) and belongs neither
// to this user nor to the folder's owner: what the kernel's protected_*
// rules hold back. False when either cannot be looked at.
bool IsStrangersInSharedFolder(const std::filesystem::path& path, const struct stat& facts) {
  struct stat folder_facts {};
  const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
  if (::stat(folder.c_str(), &folder_facts) != 0) return false;
  const bool shared =
      (folder_facts.st_mode & S_ISVTX) != 0 && (folder_facts.st_mode & S_IWOTH) != 0;
  return shared && facts.st_uid != ::geteuid() && facts.st_uid != folder_facts.st_uid;
}

}  // namespace

bool MayFollowLink(const std::filesystem::path& link) noexcept {
  struct stat link_facts {};
  if (::lstat(link.c_str(), &link_facts) != 0) {
    return true;  // nothing to follow, or the follow itself fails
  }
  return !IsStrangersInSharedFolder(link, link_facts);
}

bool IsPlantedFile(const std::filesystem::path& path) noexcept {
  struct stat facts {};
  if (::lstat(path.c_str(), &facts) != 0) return false;
  if (!S_ISREG(facts.st_mode) && !S_ISFIFO(facts.st_mode)) return false;
  return IsStrangersInSharedFolder(path, facts);
}

bool IsOtherUsersLinkToAdministrator(const std::filesystem::path& link) noexcept {
  if (::geteuid() != 0) return false;
  struct stat facts {};
  return ::lstat(link.c_str(), &facts) == 0 && S_ISLNK(facts.st_mode) && facts.st_uid != 0;
}

bool IsOwnRegularFile(const std::filesystem::path& path) noexcept {
  struct stat facts {};
  return ::lstat(path.c_str(), &facts) == 0 && S_ISREG(facts.st_mode) &&
         facts.st_uid == ::geteuid();
}

bool IsDeadLeftover(const std::filesystem::path& path) noexcept {
  struct stat facts {};
  if (!IsOwnRegularFile(path) || ::lstat(path.c_str(), &facts) != 0) return false;
  if (facts.st_size == 0 && std::time(nullptr) - facts.st_mtim.tv_sec < kFreshSeconds) return false;
  const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return false;
  const bool unlocked = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
  ::close(fd);
  return unlocked;
}

File File::CreateNew(const std::filesystem::path& path, unsigned permissions) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                        static_cast<mode_t>(permissions));  // the umask applies
  if (fd < 0) ThrowErrno();
  return File(fd);
}

File File::OpenForLock(const std::filesystem::path& path) {
  // Read access is enough for the lock; the file is never written.
  const int fd =
      ::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0600);
  if (fd < 0) ThrowErrno();
  return File(fd);
}

File File::OpenExisting(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY);
  if (fd < 0) ThrowErrno();
  return File(fd);
}

File File::OpenStream(const std::filesystem::path& path) {
  const int fd = path.empty() ? ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0)
                              : ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) ThrowErrno();
  return File(fd);
}

bool File::Lock(bool wait) {
  for (;;) {
    if (::flock(Descriptor(handle_), LOCK_EX | (wait ? 0 : LOCK_NB)) == 0) return true;
    if (errno == EWOULDBLOCK && !wait) return false;
    if (errno != EINTR) ThrowErrno();
  }
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

bool File::Narrow(unsigned allowed) {
  const int fd = Descriptor(handle_);
  struct stat facts {};
  if (::fstat(fd, &facts) != 0) ThrowErrno();
  const auto mode = static_cast<unsigned>(facts.st_mode & 07777);
  if ((mode & ~allowed) == 0) return true;
  if (::fchmod(fd, static_cast<mode_t>(mode & allowed)) == 0) return true;
  if (errno == EPERM) return false;
  ThrowErrno();
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
