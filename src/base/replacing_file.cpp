#include "base/replacing_file.h"

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "base/c_file.h"
#include "base/failure.h"

namespace veltrana {

namespace {

constexpr int kMostLinksFollowed = 40;

// The file a path names once every symbolic link on the way is followed;
// a link to nothing yet names the file it points to.
std::filesystem::path FollowLinks(std::filesystem::path path) {
  for (int hops = 0; hops < kMostLinksFollowed; ++hops) {
    std::error_code unknown;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(path, unknown))) return path;
    std::filesystem::path link = std::filesystem::read_symlink(path, unknown);
    if (unknown) throw FileFailure(unknown, FileAccess::kWrite);
    path = link.is_absolute() ? std::move(link) : path.parent_path() / link;
  }
  throw FileFailure(ELOOP, FileAccess::kWrite);
}

// Opening the existing file for update tells, without changing it, whether
// it may be replaced: a directory or a write-protected file refuses.
void CheckReplaceable(const std::filesystem::path& path) {
  errno = 0;
  const CFile existing = OpenCFile(path, "r+b");
  if (existing) return;
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
  target_ = FollowLinks(path);
  CheckReplaceable(target_);
  std::error_code unknown;
  earlier_.reset();
  if (std::filesystem::exists(target_, unknown)) earlier_ = native::FactsOf(target_);
  temp_path_ = target_;
  temp_path_ += ".part";
  CreateTemporaryFile();
  method_ = Method::kRename;
  if (earlier_ &&
      (earlier_->links > 1 || earlier_->has_access_list || !file_->TakeOver(*earlier_))) {
    method_ = Method::kCopyOver;
  }
  if (!buffer_) buffer_.reset(new char[kBufferSize]);
  used_ = 0;
  written_ = 0;
}

// One temporary name per file: a leftover of a run that was killed is
// removed, never worked around. What cannot be removed there (a folder)
// makes the creation fail.
void ReplacingFile::CreateTemporaryFile() {
  std::error_code unknown;
  if (std::filesystem::exists(std::filesystem::symlink_status(temp_path_, unknown))) {
    native::Remove(temp_path_);
  }
  try {
    file_ = native::File::CreateNew(temp_path_, earlier_.has_value());
  } catch (const Failure&) {
    temp_path_.clear();  // not ours to remove
    throw;
  }
}

// What does not fit the buffer: it fills the buffer, which is written out,
// and so on with the rest.
void ReplacingFile::WriteThrough(std::string_view text) {
  if (!file_) throw Failure(kBadFileNameOrNumber);
  while (!text.empty()) {
    if (used_ == kBufferSize) Flush();
    const std::size_t part = std::min(text.size(), kBufferSize - used_);
    std::memcpy(buffer_.get() + used_, text.data(), part);
    used_ += part;
    text.remove_prefix(part);
  }
}

void ReplacingFile::Flush() {
  file_->WriteAll(buffer_.get(), used_);
  written_ += used_;
  used_ = 0;
}

void ReplacingFile::Commit() {
  if (!file_) throw Failure(kBadFileNameOrNumber);
  try {
    Flush();
    if (earlier_) file_->Sync();
    file_->Close();  // a file still open could not be renamed or removed on Windows
    file_.reset();
    PutInPlace();
  } catch (...) {
    Abandon();
    throw;
  }
  temp_path_.clear();
}

void ReplacingFile::PutInPlace() {
  if (method_ == Method::kRename) {
    native::Replace(target_, temp_path_);
    return;
  }
  CopyOverTarget();
  native::Remove(temp_path_);
}

// The complete new content over the earlier file, in place, so that every
// name of it shows the new content and what the system keeps of it stays.
void ReplacingFile::CopyOverTarget() {
  errno = 0;
  const CFile source = OpenCFile(temp_path_, "rb");
  if (!source) throw FileFailure(errno, FileAccess::kRead);
  native::File target = native::File::OpenExisting(target_);
  target.Reserve(written_);
  for (;;) {
    const std::size_t got = std::fread(buffer_.get(), 1, kBufferSize, source.get());
    if (got == 0) break;
    target.WriteAll(buffer_.get(), got);
  }
  if (std::ferror(source.get())) throw FileFailure(EIO, FileAccess::kRead);
  target.Truncate(written_);
  target.Sync();
  target.Close();
}

void ReplacingFile::Abandon() noexcept {
  file_.reset();  // closes: a file still open could not be removed on Windows
  used_ = 0;
  if (!temp_path_.empty()) {
    native::Remove(
        temp_path_);  // our own unfinished file; if it cannot go, nothing else can be done
    temp_path_.clear();
  }
}

}  // namespace veltrana
