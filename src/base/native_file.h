// The few file operations that replacing a file needs, done with the
// system's own calls: POSIX descriptors, or Windows handles and its replace
// call. Failures are thrown as the file failure for the system's reason.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

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

// A file open for writing.
class File {
 public:
  // Creates a file that does not exist yet, never through a link at its
  // name; when `private_until_taken_over`, only its owner may read it until
  // TakeOver gives it another file's permissions. A taken name fails with
  // the failure for "file exists" (75).
  static File CreateNew(const std::filesystem::path& path, bool private_until_taken_over);
  // Opens an existing file to write over its content, which stays as it is
  // until written.
  static File OpenExisting(const std::filesystem::path& path);

  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  ~File();  // closes without reporting

  // Gives the file the permissions, owner and group of `earlier` (on
  // Windows the replace call carries them over). False when the owner or
  // group cannot be set by this process.
  bool TakeOver(const FileFacts& earlier);

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
