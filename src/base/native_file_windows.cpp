// The file operations of replacing a file, with Windows handles. Names go
// to the system as they are (wide); the replace call keeps the earlier
// file's attributes, owner and security descriptor.
#include <windows.h>

#include <cerrno>

#include "base/failure.h"
#include "base/native_file.h"

namespace veltrana::native {

namespace {

// The C library's error number for a Windows error, as the file failures
// know them.
int ErrorNumberOf(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH: return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_UNABLE_TO_REMOVE_REPLACED:
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT:
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT_2: return EACCES;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return EEXIST;
    case ERROR_WRITE_PROTECT: return EROFS;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    case ERROR_FILENAME_EXCED_RANGE: return ENAMETOOLONG;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME: return EINVAL;
    case ERROR_DIRECTORY: return ENOTDIR;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return ENOMEM;
    case ERROR_TOO_MANY_OPEN_FILES: return EMFILE;
    default: return EIO;
  }
}

[[noreturn]] void ThrowLastError() {
  throw FileFailure(ErrorNumberOf(GetLastError()), FileAccess::kWrite);
}

HANDLE Handle(std::intptr_t handle) {
  return reinterpret_cast<HANDLE>(handle);
}

constexpr std::intptr_t kClosed = -1;

}  // namespace

FileFacts FactsOf(const std::filesystem::path& path) {
  const HANDLE file = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) ThrowLastError();
  BY_HANDLE_FILE_INFORMATION information{};
  const BOOL known = GetFileInformationByHandle(file, &information);
  const DWORD error = GetLastError();
  CloseHandle(file);
  if (!known) throw FileFailure(ErrorNumberOf(error), FileAccess::kWrite);
  FileFacts facts;
  facts.links = information.nNumberOfLinks;
  return facts;
}

std::optional<FileId> IdOf(const std::filesystem::path& path) noexcept {
  const HANDLE file = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION information{};
  const BOOL known = GetFileInformationByHandle(file, &information);
  CloseHandle(file);
  if (!known) return std::nullopt;
  return FileId{information.dwVolumeSerialNumber,
                (std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow};
}

Kind KindOf(const std::filesystem::path& path) noexcept {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return Kind::kDirectory;
  }
  const HANDLE file = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return attributes == INVALID_FILE_ATTRIBUTES ? Kind::kMissing : Kind::kRegular;
  }
  const DWORD type = GetFileType(file);
  CloseHandle(file);
  return type == FILE_TYPE_DISK ? Kind::kRegular : Kind::kOther;
}

Kind KindAt(const std::filesystem::path& path) noexcept {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    return Kind::kLink;
  }
  return KindOf(path);
}

std::string ReadRegularFile(const std::filesystem::path& path, std::uint64_t most, FileId& id,
                            unsigned* permissions) {
  if (permissions != nullptr) *permissions = 0777;  // access lists decide
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    throw FileFailure(ErrorNumberOf(GetLastError()), FileAccess::kRead);
  }
  struct Closer {
    HANDLE file;
    ~Closer() { CloseHandle(file); }
  } closer{file};
  if (GetFileType(file) != FILE_TYPE_DISK) throw NotARegularFile();
  BY_HANDLE_FILE_INFORMATION before{};
  if (!GetFileInformationByHandle(file, &before)) {
    throw FileFailure(ErrorNumberOf(GetLastError()), FileAccess::kRead);
  }
  const std::uint64_t size = (std::uint64_t{before.nFileSizeHigh} << 32) | before.nFileSizeLow;
  if (size > most) throw TooLargeToRead();
  id = FileId{before.dwVolumeSerialNumber,
              (std::uint64_t{before.nFileIndexHigh} << 32) | before.nFileIndexLow};
  std::string content(static_cast<std::size_t>(size) + 1, '\0');
  std::size_t filled = 0;
  while (filled < content.size()) {
    const std::size_t left = content.size() - filled;
    const DWORD part = left > 0x40000000 ? 0x40000000 : static_cast<DWORD>(left);
    DWORD got = 0;
    if (!ReadFile(file, content.data() + filled, part, &got, nullptr)) {
      throw FileFailure(ErrorNumberOf(GetLastError()), FileAccess::kRead);
    }
    if (got == 0) break;
    filled += got;
  }
  BY_HANDLE_FILE_INFORMATION after{};
  if (!GetFileInformationByHandle(file, &after)) {
    throw FileFailure(ErrorNumberOf(GetLastError()), FileAccess::kRead);
  }
  if (filled != size || after.nFileSizeLow != before.nFileSizeLow ||
      after.nFileSizeHigh != before.nFileSizeHigh ||
      CompareFileTime(&after.ftLastWriteTime, &before.ftLastWriteTime) != 0) {
    throw ChangedWhileRead();
  }
  content.resize(filled);
  return content;
}

std::optional<FileId> IdOfStandardOutput() noexcept {
  BY_HANDLE_FILE_INFORMATION information{};
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  if (output == nullptr || output == INVALID_HANDLE_VALUE || GetFileType(output) != FILE_TYPE_DISK ||
      !GetFileInformationByHandle(output, &information)) {
    return std::nullopt;
  }
  return FileId{information.dwVolumeSerialNumber,
                (std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow};
}

bool MayFollowLink(const std::filesystem::path&) noexcept {
  return true;  // Windows folders have no sticky bit; making links takes a privilege
}

bool IsPlantedFile(const std::filesystem::path&) noexcept {
  return false;  // no sticky folders: the folder's access rules decide
}

bool IsOtherUsersLinkToAdministrator(const std::filesystem::path&) noexcept {
  return false;  // making a link takes a privilege there
}

bool IsOwnRegularFile(const std::filesystem::path& path) noexcept {
  return KindAt(path) == Kind::kRegular;  // the folder's access rules decide the rest
}

bool IsDeadLeftover(const std::filesystem::path& path) noexcept {
  // A live run holds its file open without sharing it for deletion, so
  // removing it fails; any other of this name may go.
  return KindAt(path) == Kind::kRegular;
}

File File::CreateNew(const std::filesystem::path& path, unsigned) {
  // The new file takes the folder's inherited permissions; the replace call
  // gives it the earlier file's.
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) ThrowLastError();
  return File(reinterpret_cast<std::intptr_t>(file));
}

File File::OpenForLock(const std::filesystem::path& path) {
  // Shared for reading and writing, so that every run opens it; the lock
  // (LockFileEx) is what runs wait for.
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) ThrowLastError();
  return File(reinterpret_cast<std::intptr_t>(file));
}

File File::OpenExisting(const std::filesystem::path& path) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) ThrowLastError();
  return File(reinterpret_cast<std::intptr_t>(file));
}

File File::OpenStream(const std::filesystem::path& path) {
  HANDLE file = INVALID_HANDLE_VALUE;
  if (path.empty()) {
    if (!DuplicateHandle(GetCurrentProcess(), GetStdHandle(STD_OUTPUT_HANDLE), GetCurrentProcess(),
                         &file, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
      ThrowLastError();
    }
  } else {
    file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) ThrowLastError();
  }
  return File(reinterpret_cast<std::intptr_t>(file));
}

bool File::Lock(bool wait) {
  OVERLAPPED whole{};
  const DWORD flags = LOCKFILE_EXCLUSIVE_LOCK | (wait ? 0 : LOCKFILE_FAIL_IMMEDIATELY);
  if (LockFileEx(Handle(handle_), flags, 0, MAXDWORD, MAXDWORD, &whole)) return true;
  if (!wait && GetLastError() == ERROR_LOCK_VIOLATION) return false;
  ThrowLastError();
}

File::File(File&& other) noexcept : handle_(other.handle_) {
  other.handle_ = kClosed;
}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    CloseQuietly();
    handle_ = other.handle_;
    other.handle_ = kClosed;
  }
  return *this;
}

File::~File() {
  CloseQuietly();
}

bool File::TakeOver(const FileFacts&) {
  return true;  // Replace carries attributes, owner and security descriptor over
}

bool File::Narrow(unsigned) {
  return true;  // the access list decides, and the replace call keeps the earlier one's
}

void File::WriteAll(const char* data, std::size_t size) {
  while (size > 0) {
    const DWORD part = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!WriteFile(Handle(handle_), data, part, &written, nullptr)) ThrowLastError();
    data += written;
    size -= written;
  }
}

void File::Reserve(std::uint64_t size) {
  FILE_ALLOCATION_INFO allocation{};
  allocation.AllocationSize.QuadPart = static_cast<LONGLONG>(size);
  if (!SetFileInformationByHandle(Handle(handle_), FileAllocationInfo, &allocation,
                                  sizeof allocation)) {
    const DWORD error = GetLastError();
    if (error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL) {
      throw FileFailure(ENOSPC, FileAccess::kWrite);
    }
    // Other refusals: the file system cannot reserve; nothing to do.
  }
}

void File::Truncate(std::uint64_t size) {
  LARGE_INTEGER end{};
  end.QuadPart = static_cast<LONGLONG>(size);
  if (!SetFilePointerEx(Handle(handle_), end, nullptr, FILE_BEGIN) ||
      !SetEndOfFile(Handle(handle_))) {
    ThrowLastError();
  }
}

void File::Sync() {
  if (!FlushFileBuffers(Handle(handle_))) ThrowLastError();
}

void File::Close() {
  const HANDLE file = Handle(handle_);
  handle_ = kClosed;
  if (!CloseHandle(file)) ThrowLastError();
}

void File::CloseQuietly() noexcept {
  if (handle_ != kClosed) CloseHandle(Handle(handle_));
  handle_ = kClosed;
}

void Replace(const std::filesystem::path& relative_target,
             const std::filesystem::path& relative_replacement) {
  // Whole paths: some replace calls take a relative name's folder to be
  // none (Wine's does).
  std::error_code unknown;
  const std::filesystem::path target = std::filesystem::absolute(relative_target, unknown);
  const std::filesystem::path replacement =
      std::filesystem::absolute(relative_replacement, unknown);
  if (GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES) {
    if (ReplaceFileW(target.c_str(), replacement.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                     nullptr, nullptr)) {
      return;
    }
    ThrowLastError();
  }
  if (!MoveFileExW(replacement.c_str(), target.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    ThrowLastError();
  }
}

bool Remove(const std::filesystem::path& path) noexcept {
  return DeleteFileW(path.c_str()) != 0;
}

}  // namespace veltrana::native
