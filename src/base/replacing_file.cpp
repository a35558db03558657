#include "base/replacing_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <random>
#include <system_error>
#include <vector>

#include "base/c_file.h"
#include "base/failure.h"

namespace veltrana {

namespace {

constexpr int kMostLinksFollowed = 40;
constexpr int kNameTries = 100;
constexpr std::string_view kPrefix = ".veltrana-";
constexpr std::string_view kPartEnding = ".part";
constexpr std::string_view kCopyEnding = ".copy";

thread_local std::vector<native::FileId> protected_files;

bool IsProtected(const std::filesystem::path& path) {
  if (protected_files.empty()) return false;
  const std::optional<native::FileId> id = native::IdOf(path);
  return id &&
         std::find(protected_files.begin(), protected_files.end(), *id) != protected_files.end();
}

std::string Hex(std::uint64_t value, int digits) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text(static_cast<std::size_t>(digits), '0');
  for (int i = digits - 1; i >= 0; --i, value >>= 4) {
    text[static_cast<std::size_t>(i)] = kDigits[value & 15];
  }
  return text;
}

// The number that stands for a file's name in its temporary names (FNV-1a
// of the name's bytes), so that names of any length give short ones.
std::string NameNumber(const std::filesystem::path& target) {
  const auto name = target.filename().native();
  std::uint64_t hash = 14695981039346656037ull;
  for (const auto unit : name) {
    for (std::size_t byte = 0; byte < sizeof unit; ++byte) {
      hash ^= (static_cast<std::uint64_t>(unit) >> (8 * byte)) & 0xFF;
      hash *= 1099511628211ull;
    }
  }
  return Hex(hash, 16);
}

std::filesystem::path Beside(const std::filesystem::path& target, const std::string& name) {
  return target.has_parent_path() ? target.parent_path() / name : std::filesystem::path(name);
}

std::filesystem::path CopyPath(const std::filesystem::path& target) {
  return Beside(target, std::string(kPrefix) + NameNumber(target) + std::string(kCopyEnding));
}

std::uint64_t RandomNumber() {
  thread_local std::mt19937_64 numbers{std::random_device{}()};
  return numbers();
}

// A link on the way to the file, looked at before it is followed.
void CheckLink(const std::filesystem::path& link, ReplacingFile::Named named) {
  if (!native::MayFollowLink(link)) throw PlantedLink(link.string());
  if (named == ReplacingFile::Named::kByProgram && native::IsOtherUsersLinkToAdministrator(link)) {
    throw OtherUsersLinkToAdministrator(link.string());
  }
}

std::filesystem::path ReadLink(const std::filesystem::path& link) {
  std::error_code unknown;
  std::filesystem::path target = std::filesystem::read_symlink(link, unknown);
  if (unknown) throw FileFailure(unknown, FileAccess::kWrite);
  return target;
}

#if defined(_WIN32)
// The file a path names once the links at its last name are followed; the
// folders' own links are the system's to follow (making one takes a
// privilege there).
std::filesystem::path FollowLinks(std::filesystem::path path, ReplacingFile::Named named) {
  for (int hops = 0; hops < kMostLinksFollowed; ++hops) {
    if (native::KindAt(path) != native::Kind::kLink) return path;
    CheckLink(path, named);
    std::filesystem::path link = ReadLink(path);
    path = link.is_absolute() ? std::move(link) : path.parent_path() / link;
  }
  throw FileFailure(ELOOP, FileAccess::kWrite);
}
#else
// The file a path names once every symbolic link on the way is followed, a
// name at a time as the system walks it, each link checked before it is
// followed: a planted link in a shared folder above the file deceives as
// much as one at its name. A link to nothing yet names the file it points
// to. The path given back holds no link, so what is checked is what is
// written.
std::filesystem::path FollowLinks(const std::filesystem::path& path, ReplacingFile::Named named) {
  std::vector<std::filesystem::path> names;  // still to walk, the next one last
  const auto walk_next = [&names](const std::filesystem::path& more) {
    const std::vector<std::filesystem::path> parts(more.begin(), more.end());
    names.insert(names.end(), parts.rbegin(), parts.rend());
  };
  walk_next(path);
  std::filesystem::path done;  // the way so far, with no link on it
  int hops = 0;
  while (!names.empty()) {
    const std::filesystem::path name = std::move(names.back());
    names.pop_back();
    if (name.has_root_directory()) {
      done = name;  // an absolute path starts again at the root
    } else if (name.empty() || name == ".") {
      continue;
    } else if (name == "..") {
      // The way holds no link, so its parent is the folder the system finds.
      if (done.empty() || done.filename() == "..") {
        done /= name;
      } else if (done != done.root_path()) {
        done = done.parent_path();
      }
    } else if (std::filesystem::path next = done / name;
               native::KindAt(next) != native::Kind::kLink) {
      done = std::move(next);
    } else {
      CheckLink(next, named);
      if (++hops > kMostLinksFollowed) throw FileFailure(ELOOP, FileAccess::kWrite);
      walk_next(ReadLink(next));
    }
  }
  return done.empty() ? std::filesystem::path(".") : done;
}
#endif

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

// The whole of `source` over `target`, cut to its length, on the disk.
void CopyInto(const std::filesystem::path& source_path, native::File& target, char* buffer,
              std::size_t buffer_size) {
  errno = 0;
  const CFile source(OpenCFile(source_path, "rb"));
  if (!source) throw FileFailure(errno, FileAccess::kRead);
  std::error_code unknown;
  const std::uint64_t size = std::filesystem::file_size(source_path, unknown);
  if (unknown) throw FileFailure(unknown, FileAccess::kRead);
  target.Reserve(size);
  std::uint64_t copied = 0;
  for (;;) {
    const std::size_t got = std::fread(buffer, 1, buffer_size, source.get());
    if (got == 0) break;
    target.WriteAll(buffer, got);
    copied += got;
  }
  if (std::ferror(source.get()) || copied != size) throw FileFailure(EIO, FileAccess::kRead);
  target.Truncate(size);
  target.Sync();
}

}  // namespace

std::filesystem::path ReplacingFile::FollowLinksSafely(const std::filesystem::path& path,
                                                       Named named) {
  return FollowLinks(path, named);
}

ReplacingFile::Protect::Protect(native::FileId file) {
  protected_files.push_back(file);
}

ReplacingFile::Protect::~Protect() {
  protected_files.pop_back();
}

ReplacingFile::~ReplacingFile() {
  Abandon();
}

void ReplacingFile::Open(const std::filesystem::path& path, NonRegular non_regular, Named named,
                         unsigned permissions) {
  Abandon();
  earlier_.reset();
  permissions_ = permissions;
  // A device or a pipe, also behind links the system resolves itself
  // (/dev/stdout): never replaced. Every link on the way is checked; the
  // last ones of /dev/stdout name no file (pipe:[...]), and only the
  // system can follow them.
  if (native::KindOf(path) == native::Kind::kOther) {
    const std::filesystem::path resolved = FollowLinks(path, named);
    if (native::IsPlantedFile(resolved)) throw PlantedFile(resolved.string());
    if (non_regular == NonRegular::kRefuse) throw NotReplaceable();
    target_ = native::KindAt(resolved) == native::Kind::kOther ? resolved : path;
    file_ = native::File::OpenStream(target_);
    method_ = Method::kStream;
    return StartBuffer();
  }
  target_ = FollowLinks(path, named);
  const native::Kind kind = native::KindAt(target_);
  if (kind == native::Kind::kOther) throw NotReplaceable();
  if (kind != native::Kind::kMissing && IsProtected(target_)) throw WouldReplaceTheBook();
  if (native::IsPlantedFile(target_)) throw PlantedFile(target_.string());
  if (kind == native::Kind::kRegular) FinishInterruptedCopy(target_);
  CheckReplaceable(target_);
  if (kind != native::Kind::kMissing) earlier_ = native::FactsOf(target_);
  RemoveLeftovers();
  CreateTemporaryFile();
  method_ = Method::kRename;
  if (earlier_ &&
      (earlier_->links > 1 || earlier_->has_access_list || !file_->TakeOver(*earlier_))) {
    method_ = Method::kCopyOver;
  } else if (earlier_ && !file_->Narrow(permissions_)) {
    throw WiderThanItsSources(target_.string());
  }
  StartBuffer();
}

void ReplacingFile::OpenStandardOutput() {
  Abandon();
  if (const std::optional<native::FileId> output = native::IdOfStandardOutput();
      output && std::find(protected_files.begin(), protected_files.end(), *output) !=
                    protected_files.end()) {
    throw WouldReplaceTheBook();
  }
  target_.clear();
  earlier_.reset();
  file_ = native::File::OpenStream({});
  method_ = Method::kStream;
  StartBuffer();
}

void ReplacingFile::StartBuffer() {
  if (!buffer_) buffer_.reset(new char[kBufferSize]);
  used_ = 0;
  written_ = 0;
}

// Every temporary file of this name whose run is dead: this user's,
// unlocked, not the protected book. Live runs' files and other users' stay.
void ReplacingFile::RemoveLeftovers() const {
  const std::filesystem::path folder =
      target_.has_parent_path() ? target_.parent_path() : std::filesystem::path(".");
  // Compared in the system's own characters: other names in the folder
  // need not be spellable in 8 bits.
  using Native = std::filesystem::path::string_type;
  const std::string ascii_start = std::string(kPrefix) + NameNumber(target_) + "-";
  const Native start(ascii_start.begin(), ascii_start.end());
  const Native ending(kPartEnding.begin(), kPartEnding.end());
  std::error_code unknown;
  std::vector<std::filesystem::path> leftovers;
  for (std::filesystem::directory_iterator entry(folder, unknown), end; !unknown && entry != end;
       entry.increment(unknown)) {
    const Native text = entry->path().filename().native();
    if (text.size() > start.size() + ending.size() && text.starts_with(start) &&
        text.ends_with(ending)) {
      leftovers.push_back(entry->path());
    }
  }
  for (const std::filesystem::path& leftover : leftovers) {
    if (!IsProtected(leftover) && native::IsDeadLeftover(leftover)) native::Remove(leftover);
  }
}

// A name no other file has: made exclusively, never through a link, and
// locked at once so that no other run takes it for a leftover.
void ReplacingFile::CreateTemporaryFile() {
  const std::string start = std::string(kPrefix) + NameNumber(target_) + "-";
  for (int tries = 1;; ++tries) {
    temp_path_ = Beside(target_, start + Hex(RandomNumber(), 8) + std::string(kPartEnding));
    try {
      // Private until TakeOver gives it the earlier file's permissions; a
      // new file has no more than its sources allow.
      file_ = native::File::CreateNew(temp_path_, earlier_ ? 0600u : 0666u & (permissions_ | 0600u));
      file_->Lock(false);
      return;
    } catch (const Failure&) {
      const bool taken = native::KindAt(temp_path_) != native::Kind::kMissing && !file_;
      if (file_) {
        file_.reset();
        native::Remove(temp_path_);
      }
      temp_path_.clear();  // not ours to remove
      if (!taken || tries == kNameTries) throw;
    }
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
    if (method_ != Method::kStream) PutInPlace();
  } catch (...) {
    Abandon();
    throw;
  }
  temp_path_.clear();
}

void ReplacingFile::PutInPlace() {
  if (IsProtected(target_)) throw WouldReplaceTheBook();
  if (method_ == Method::kRename) {
    native::Replace(target_, temp_path_);
    return;
  }
  CopyOverTarget();
}

// The complete new content over the earlier file, in place, so that every
// name of it shows the new content and what the system keeps of it stays.
// Under the file's lock, one copy at a time; the new content waits under
// the copy name until the copy is on the disk.
void ReplacingFile::CopyOverTarget() {
  native::File target = native::File::OpenExisting(target_);
  target.Lock(true);
  if (!target.Narrow(permissions_)) throw WiderThanItsSources(target_.string());
  const std::filesystem::path copy = CopyPath(target_);
  if (IsProtected(copy)) throw WouldReplaceTheBook();
  native::Replace(copy, temp_path_);
  temp_path_.clear();
  try {
    target.Reserve(written_);
  } catch (...) {
    native::Remove(copy);  // nothing was written over the file: it stays as it was
    throw;
  }
  CopyInto(copy, target, buffer_.get(), kBufferSize);
  native::Remove(copy);
  target.Close();
}

void ReplacingFile::FinishInterruptedCopy(const std::filesystem::path& path) {
  const std::filesystem::path copy = CopyPath(path);
  if (!native::IsOwnRegularFile(copy) || IsProtected(copy)) return;
  native::File target = native::File::OpenExisting(path);
  target.Lock(true);  // a live run's copy ends first, and removes its name
  if (!native::IsOwnRegularFile(copy)) return;
  const std::unique_ptr<char[]> buffer(new char[kBufferSize]);
  CopyInto(copy, target, buffer.get(), kBufferSize);
  native::Remove(copy);
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
