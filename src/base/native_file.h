// The few file operations that replacing a file needs, done with the
// system's own calls: POSIX descriptors, or Windows handles and its replace
// call. Failures are thrown as the file failure for the system's reason.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace veltrana::native {

// What the system tells of an existing file.
struct FileFacts {
  std::uint64_t links = 1;  // names the file has (hard links)
  // True when a new file cannot take over everything the system keeps of
  // this one (an access list that a copy of the permission bits would lose).
  bool has_access_list = false;
#if !defined(_WIN32)
  unsigned mode = 0;  // permission bits
  unsigned owner = 0;
  unsigned group = 0;
#endif
};

// The facts of the file at `path`, which must exist.
FileFacts FactsOf(const std::filesystem::path& path);

// Which file a name stands for: device and inode (on Windows the volume's
// serial number and the file ID). Two names of one file have one identity.
struct FileId {
  std::uint64_t device = 0;
  std::uint64_t number = 0;
  bool operator==(const FileId&) const = default;
};

// The identity of the file `path` names (links followed); none when there
// is no file or it cannot be asked.
std::optional<FileId> IdOf(const std::filesystem::path& path) noexcept;

// What stands at a name, without following a link there.
enum class Kind { kMissing, kRegular, kDirectory, kLink, kOther /* device, pipe, socket */ };
Kind KindAt(const std::filesystem::path& path) noexcept;
// The same after following links.
Kind KindOf(const std::filesystem::path& path) noexcept;

// Reads a regular file whole, opened without blocking (a pipe with no
// writer does not hang) and checked before a byte is read: not a regular
// file, or larger than `most` bytes, fails with a message saying so. A
// file that changes while it is read (grows or shrinks) fails too. `id`
// receives the identity of the file read, `permissions` (when given) its
// permission bits (0777 on Windows, where access lists decide).
std::string ReadRegularFile(const std::filesystem::path& path, std::uint64_t most, FileId& id,
                            unsigned* permissions = nullptr);

// The identity of what the standard output writes into; none when it is
// closed or cannot be asked.
std::optional<FileId> IdOfStandardOutput() noexcept;

// A link another user planted: in a folder everyone may write that keeps
// each name to its owner (sticky, like /tmp), a link is followed only when
// it belongs to this user or to the folder's owner, the rule the kernel's
// protected_symlinks applies. True when `link` may be followed. Windows has
// no such folders: always true there.
bool MayFollowLink(const std::filesystem::path& link) noexcept;

// A file another user planted: in such a shared sticky folder, an existing
// regular file or FIFO that belongs neither to this user nor to the folder's
// owner is not opened for writing, the rule of the kernel's
// protected_regular and protected_fifos. True when `path` is one. Always
// false on Windows.
bool IsPlantedFile(const std::filesystem::path& path) noexcept;

// True when the program runs as the administrator (root) and `link`, a
// symbolic link, belongs to another user: a file the program names itself
// is never reached through such a link. Always false on Windows.
bool IsOtherUsersLinkToAdministrator(const std::filesystem::path& link) noexcept;

// True when `path` is a regular file (not a link) of this user's own.
bool IsOwnRegularFile(const std::filesystem::path& path) noexcept;

// Whether a leftover file may be removed as a dead run's: it belongs to
// this user, is a regular file, and no live run holds its lock. A file of
// zero bytes changed in the last seconds is left alone: a run may have just
// made it and not locked it yet.
bool IsDeadLeftover(const std::filesystem::path& path) noexcept;

// A file open for writing.
class File {
 public:
  // Creates a file that does not exist yet, never through a link at its
  // name, with the permission bits `permissions` (less the umask; on
  // Windows the folder's inherited permissions). A taken name fails with the
  // failure for "file exists" (75).
  static File CreateNew(const std::filesystem::path& path, unsigned permissions);
  // Opens the file at `path` to hold its lock, made when missing (never
  // through a link at its name); its content is never written.
  static File OpenForLock(const std::filesystem::path& path);
  // Opens an existing file to write over its content, which stays as it is
  // until written; never through a link at its name.
  static File OpenExisting(const std::filesystem::path& path);
  // Opens what is not a regular file (a device, a pipe) to write into it as
  // a stream; the standard output when `path` is empty.
  static File OpenStream(const std::filesystem::path& path);

  // Holds the file's advisory lock until it is closed: exclusive, so that
  // others who ask wait (`wait`) or learn it is taken (false).
  bool Lock(bool wait);

  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  ~File();  // closes without reporting

  // Gives the file the permissions, owner and group of `earlier` (on
  // Windows the replace call carries them over). False when the owner or
  // group cannot be set by this process.
  bool TakeOver(const FileFacts& earlier);
  // Takes away the permission bits outside `allowed` (the group's and
  // others'); false when this process may not change them. Nothing on
  // Windows.
  bool Narrow(unsigned allowed);

  void WriteAll(const char* data, std::size_t size);
  // Makes room for `size` bytes, so that writing up to there cannot run
  // out of space. Where the system cannot reserve, nothing happens.
  void Reserve(std::uint64_t size);
  void Truncate(std::uint64_t size);
  // Puts what was written on the disk.
  void Sync();
  // Closes and reports a failure of the close.
  void Close();

 private:
  explicit File(std::intptr_t handle) : handle_(handle) {}
  void CloseQuietly() noexcept;

  std::intptr_t handle_;  // descriptor or HANDLE; -1 when closed
};

// Puts `replacement` in the place of `target` in one step (on Windows
// keeping the target's attributes and security descriptor when it exists).
void Replace(const std::filesystem::path& target, const std::filesystem::path& replacement);

// Removes the file at `path`; reports whether it could.
bool Remove(const std::filesystem::path& path) noexcept;

}  // namespace veltrana::native
