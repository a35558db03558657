#include "core/replacing_file.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "core/failure.h"

namespace veltrana {

namespace {

constexpr int kTemporaryNameAttempts = 100;

// Opening the existing file for update tells, without changing it, whether
// it may be replaced: a directory or a write-protected file refuses.
void CheckReplaceable(const std::string& path) {
  errno = 0;
  std::FILE* existing = std::fopen(path.c_str(), "r+b");
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

void ReplacingFile::Open(const std::string& path) {
  Abandon();
  CheckReplaceable(path);
  path_ = path;
  CreateTemporaryFile();
}

void ReplacingFile::CreateTemporaryFile() {
  for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
    std::string candidate = path_ + ".part";
    if (attempt > 0) candidate += std::to_string(attempt);
    errno = 0;
    file_ = std::fopen(candidate.c_str(), "wbx");  // never reuses an existing file
    if (file_ != nullptr) {
      temp_path_ = std::move(candidate);
      std::setvbuf(file_, nullptr, _IOFBF, 1 << 16);
      return;
    }
    if (errno != EEXIST) throw FileFailure(errno, FileAccess::kWrite);
  }
  throw FileFailure(EEXIST, FileAccess::kWrite);
}

void ReplacingFile::WriteLine(std::string_view text) {
  static constexpr char kLineEnd[] = "\r\n";
  if (file_ == nullptr) throw Failure(kBadFileNameOrNumber);
  errno = 0;
  const bool written = std::fwrite(text.data(), 1, text.size(), file_) == text.size() &&
                       std::fwrite(kLineEnd, 1, 2, file_) == 2;
  if (!written) throw FileFailure(errno, FileAccess::kWrite);
}

void ReplacingFile::Commit() {
  if (file_ == nullptr) throw Failure(kBadFileNameOrNumber);
  errno = 0;
  if (std::fflush(file_) != 0) {
    const int reason = errno;
    Abandon();
    throw FileFailure(reason, FileAccess::kWrite);
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
  if (!temp_path_.empty()) {
    std::remove(temp_path_.c_str());
    temp_path_.clear();
  }
}

}  // namespace veltrana
