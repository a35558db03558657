#include "base/replacing_file.h"

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "base/c_file.h"
#include "base/failure.h"

namespace veltrana {

namespace {

constexpr int kTemporaryNameAttempts = 100;

// Opening the existing file for update tells, without changing it, whether
// it may be replaced: a directory or a write-protected file refuses.
void CheckReplaceable(const std::filesystem::path& path) {
  errno = 0;
  std::FILE* existing = OpenCFile(path, "r+b");
  if (existing != nullptr) {
    std::fclose(existing);
    return;
  }
  const int reason = errno;
  if (reason == ENOENT) return;  // nothing there yet; the folder is checked on creation
  throw FileFailure(reason, FileAccess::kWrite);
}

}  // namespace

ReplacingFile::~ReplacingFile() {
  Abandon();
}

void ReplacingFile::Open(const std::filesystem::path& path) {
  Abandon();
  CheckReplaceable(path);
  path_ = path;
  CreateTemporaryFile();
  if (!buffer_) buffer_.reset(new char[kBufferSize]);
  used_ = 0;
}

void ReplacingFile::CreateTemporaryFile() {
  for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
    std::filesystem::path candidate = path_;
    candidate += attempt > 0 ? ".part" + std::to_string(attempt) : std::string(".part");
    errno = 0;
    file_ = OpenCFile(candidate, "wbx");  // never reuses an existing file
    if (file_ != nullptr) {
      temp_path_ = std::move(candidate);
      std::setvbuf(file_, nullptr, _IONBF, 0);  // buffered here, written in large blocks
      return;
    }
    if (errno != EEXIST) throw FileFailure(errno, FileAccess::kWrite);
  }
  throw FileFailure(EEXIST, FileAccess::kWrite);
}

// What does not fit the buffer: it fills the buffer, which is written out,
// and so on with the rest.
void ReplacingFile::WriteThrough(std::string_view text) {
  if (file_ == nullptr) throw Failure(kBadFileNameOrNumber);
  while (!text.empty()) {
    if (used_ == kBufferSize) Flush();
    const std::size_t part = std::min(text.size(), kBufferSize - used_);
    std::memcpy(buffer_.get() + used_, text.data(), part);
    used_ += part;
    text.remove_prefix(part);
  }
}

void ReplacingFile::Flush() {
  errno = 0;
  const bool written = std::fwrite(buffer_.get(), 1, used_, file_) == used_;
  used_ = 0;
  if (!written) throw FileFailure(errno, FileAccess::kWrite);
}

void ReplacingFile::Commit() {
  if (file_ == nullptr) throw Failure(kBadFileNameOrNumber);
  try {
    Flush();
  } catch (const Failure&) {
    Abandon();
    throw;
  }
  errno = 0;
  const int closed = std::fclose(file_);
  file_ = nullptr;
  if (closed != 0) {
    const int reason = errno;
    Abandon();
    throw FileFailure(reason, FileAccess::kWrite);
  }
  std::error_code moved;
  std::filesystem::rename(temp_path_, path_, moved);
  if (moved) {
    Abandon();
    throw FileFailure(moved, FileAccess::kWrite);
  }
  temp_path_.clear();
}

void ReplacingFile::Abandon() noexcept {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
  used_ = 0;
  if (!temp_path_.empty()) {
    std::error_code ignored;  // removing our own unfinished file; nothing to report
    std::filesystem::remove(temp_path_, ignored);
    temp_path_.clear();
  }
}

}  // namespace veltrana
