// A file that is written whole and then replaces what stood at its path (the
// page, the settings file), the way careful editors save: the new content
// goes to a temporary file beside the file it replaces, and only a complete
// file takes its place. So a write that fails leaves an earlier file byte
// for byte as it was, and creates no file where there was none.
//
// What the user set on the earlier file stays:
//   - a symbolic link stays a link: the file it points to is replaced, with
//     the temporary file in that file's folder;
//   - permission bits, owner and group go over to the new file (on Windows
//     the system's replace call keeps attributes and security descriptor);
//   - when a rename cannot keep them (a file with several names, hard
//     links; an owner this process may not give; an access list), the
//     complete temporary file is copied over the earlier file instead, so
//     every name shows the new content. Room for it is reserved first; the
//     copy is the only step that is not atomic, and its failure is reported.
// Replacing an existing file puts the new content on the disk before it
// takes the earlier one's place, so that not even a crash loses both.
//
// The temporary file has a name of its own per run, made exclusively beside
// the file: ".veltrana-", a number for the file's name, a random part and
// ".part" (40 bytes, whatever the length of the file's name), locked for as
// long as it is written. Runs at the same time never touch each other's; a
// leftover of a run that was killed (this user's, unlocked) is removed by
// the next run; a file of that form another user planted is left alone.
//
// A copy over the earlier file (hard links) first gives the complete new
// content the name ".veltrana-<number>.copy" and holds the file's lock; a
// run killed during the copy leaves that name, and the next run for the
// file finishes the copy before anything else, so the file is old or new,
// whole, once any run has started again.
//
// What it never does, by its own checks whatever the kernel's settings:
//   - follow a link another user planted in a shared sticky folder (like
//     /tmp), at any step of the path, not only at its last name;
//   - write into a regular file or a FIFO another user planted in such a
//     folder (owned by neither this user nor the folder's owner);
//   - run as root, follow a link another user owns on the way to a file the
//     program names itself (the page, a default export, veltra.ini): a
//     privileged run does not write where an unprivileged user points it;
//   - replace a device, a pipe or a socket (an export may write into one as
//     a stream), or write, rename over or remove a file under protection
//     (the address book being read, see Protect), the standard output
//     included.
#pragma once

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>

#include "base/native_file.h"

namespace veltrana {

class ReplacingFile {
 public:
  // How Commit puts the new content in place.
  enum class Method {
    kRename,    // the temporary file takes the earlier file's place
    kCopyOver,  // the temporary file's content is copied over the earlier file
    kStream,    // written straight into what stands there (a device, a pipe)
  };

  // What Open does with a file that exists and is not a regular file.
  enum class NonRegular {
    kRefuse,     // fails: a page is never written into a device
    kWriteInto,  // writes into it as a stream (an export to /dev/stdout, a pipe)
  };

  // Who named the file: the program itself (the page beside the book, a
  // default export target, the settings file) or the user (-o FILE, the
  // Save dialog).
  enum class Named { kByProgram, kByUser };

  // While a Protect lives, no ReplacingFile of this thread writes over,
  // renames over or removes the file it names (code 75 instead).
  class Protect {
   public:
    explicit Protect(native::FileId file);
    ~Protect();
    Protect(const Protect&) = delete;
    Protect& operator=(const Protect&) = delete;
  };

  ReplacingFile() = default;
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // Starts the file for `path`. Fails before anything is written when the
  // file could not be made there: a missing folder, a folder or a file that
  // may not be written, a directory standing at the path, or what the rules
  // above refuse (each refusal names the path and the rule).
  // `permissions`: the permission bits the file may have at most (the
  // group's and others' of its sources): a file made or replaced has none
  // beyond them, and a file copied over is narrowed to them first.
  void Open(const std::filesystem::path& path, NonRegular non_regular = NonRegular::kRefuse,
            Named named = Named::kByProgram, unsigned permissions = 07777);
  // Starts writing to the standard output, as a stream.
  void OpenStandardOutput();

  // The file `path` names, every link on the way followed under the rules
  // above (a refusal names the link and the rule); the path given back
  // holds no link. For files the program makes beside one it replaces (a
  // lock file).
  static std::filesystem::path FollowLinksSafely(const std::filesystem::path& path,
                                                 Named named = Named::kByProgram);

  // Finishes a copy over `path` that a killed run left unfinished; nothing
  // when there is none. Open does it first.
  static void FinishInterruptedCopy(const std::filesystem::path& path);
  bool is_open() const { return file_.has_value(); }

  // Writes `text` as it is; WriteLine adds CR LF. Text is gathered into a
  // buffer written out in large blocks, so a failure to write surfaces at a
  // later write or at Commit.
  void Write(std::string_view text) {
    if (file_ && text.size() <= kBufferSize - used_) {
      std::memcpy(buffer_.get() + used_, text.data(), text.size());
      used_ += text.size();
    } else {
      WriteThrough(text);
    }
  }
  void WriteLine(std::string_view text) {
    Write(text);
    Write("\r\n");
  }

  // Completes the file and puts it in place. On failure the temporary file
  // is removed; the earlier file is untouched unless the copy over it
  // failed part way.
  void Commit();

  // Closes and removes an unfinished file; the path is untouched. Doing so
  // when no file is open is no failure.
  void Abandon() noexcept;

  // While the file is open: the temporary file, and how it will replace
  // the file.
  const std::filesystem::path& temporary_path() const { return temp_path_; }
  Method method() const { return method_; }

 private:
  static constexpr std::size_t kBufferSize = std::size_t{1} << 16;

  void StartBuffer();
  void RemoveLeftovers() const;
  void CreateTemporaryFile();
  void WriteThrough(std::string_view text);
  void Flush();
  void PutInPlace();
  void CopyOverTarget();

  std::filesystem::path target_;
  std::filesystem::path temp_path_;
  std::optional<native::FileFacts> earlier_;  // the file replaced, if there is one
  unsigned permissions_ = 07777;              // the most the file may allow
  Method method_ = Method::kRename;
  std::optional<native::File> file_;  // the temporary file, while it is written
  std::unique_ptr<char[]> buffer_;
  std::size_t used_ = 0;       // bytes of the buffer filled
  std::uint64_t written_ = 0;  // bytes of the file so far
};

}  // namespace veltrana
