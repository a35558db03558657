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

File File::CreateNew(const std::filesystem::path& path, bool) {
  // The new file takes the folder's inherited permissions; the replace call
  // gives it the earlier file's.
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) ThrowLastError();
  return File(reinterpret_cast<std::intptr_t>(file));
}

File File::OpenExisting(const std::filesystem::path& path) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) ThrowLastError();
  return File(reinterpret_cast<std::intptr_t>(file));
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
