// A file that is written whole and replaces what stood at its path (the page,
// the settings file). Lines go to a temporary file beside it; only a
// complete file is moved over the path, so a write that fails leaves an
// earlier file as it was and creates no file otherwise.
#pragma once

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace veltrana {

class ReplacingFile {
 public:
  ReplacingFile() = default;
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // Starts the file for `path`. Fails before anything is written when the
  // file could not be made there: a missing folder, a folder or a file that
  // may not be written, a directory standing at the path.
  void Open(const std::filesystem::path& path);
  bool is_open() const { return file_ != nullptr; }

  // Writes `text` as it is; WriteLine adds CR LF. Text is gathered into a
  // buffer written out in large blocks, so a failure to write surfaces at a
  // later write or at Commit.
  void Write(std::string_view text) {
    if (file_ != nullptr && text.size() <= kBufferSize - used_) {
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

  // Completes the file: the temporary file is closed and moved over the
  // path. On failure the temporary file is removed and the path untouched.
  void Commit();

  // Closes and removes an unfinished file; the path is untouched. Doing so
  // when no file is open is no failure.
  void Abandon() noexcept;

  // The temporary file while the file is open (for tests and diagnostics).
  const std::filesystem::path& temporary_path() const { return temp_path_; }

 private:
  static constexpr std::size_t kBufferSize = std::size_t{1} << 16;

  void CreateTemporaryFile();
  void WriteThrough(std::string_view text);
  void Flush();

  std::filesystem::path path_;
  std::filesystem::path temp_path_;
  std::FILE* file_ = nullptr;
  std::unique_ptr<char[]> buffer_;
  std::size_t used_ = 0;  // bytes of the buffer filled
};

}  // namespace veltrana
