// The page file of one run. Lines go to a temporary file beside the page;
// only a complete page replaces the file at the page path, so a run that
// fails leaves an earlier page as it was and creates no page otherwise.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace veltrana {

class PageFile {
 public:
  PageFile() = default;
  ~PageFile();
  PageFile(const PageFile&) = delete;
  PageFile& operator=(const PageFile&) = delete;

  // Starts a page for `path`. Fails before anything is written when the page
  // could not be created there: a missing folder, a folder or a file that
  // may not be written, a directory standing at the path.
  void Open(const std::string& path);
  bool is_open() const { return file_ != nullptr; }

  // Writes `text` and CR LF.
  void WriteLine(std::string_view text);

  // Completes the page: the temporary file is closed and moved over the page
  // path. On failure the temporary file is removed and the path untouched.
  void Commit();

  // Closes and removes an unfinished page; the page path is untouched.
  // Doing so when no page is open is no failure.
  void Abandon() noexcept;

  // The temporary file while the page is open (for tests and diagnostics).
  const std::string& temporary_path() const { return temp_path_; }

 private:
  void CreateTemporaryFile();

  std::string path_;
  std::string temp_path_;
  std::FILE* file_ = nullptr;
};

}  // namespace veltrana
