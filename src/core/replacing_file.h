// A file that is written whole and replaces what stood at its path (the page,
// the settings file). Lines go to a temporary file beside it; only a
// complete file is moved over the path, so a write that fails leaves an
// earlier file as it was and creates no file otherwise.
#pragma once

#include <cstdio>
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
  void Open(const std::string& path);
  bool is_open() const { return file_ != nullptr; }

  // Writes `text` and CR LF.
  void WriteLine(std::string_view text);

  // Completes the file: the temporary file is closed and moved over the
  // path. On failure the temporary file is removed and the path untouched.
  void Commit();

  // Closes and removes an unfinished file; the path is untouched. Doing so
  // when no file is open is no failure.
  void Abandon() noexcept;

  // The temporary file while the file is open (for tests and diagnostics).
  const std::string& temporary_path() const { return temp_path_; }

 private:
  void CreateTemporaryFile();

  std::string path_;
  std::string temp_path_;
  std::FILE* file_ = nullptr;
};

}  // namespace veltrana
