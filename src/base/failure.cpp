#include "base/failure.h"

#include <new>
#include <utility>

namespace veltrana {

std::string StandardDescription(int code) {
  switch (code) {
    case kInvalidArgument: return "Invalid procedure call or argument";
    case kOverflow: return "Overflow";
    case kOutOfMemory: return "Out of memory";
    case kInternalError: return "Internal error";
    case kBadFileNameOrNumber: return "Bad file name or number";
    case kFileNotFound: return "File not found";
    case kDeviceIOError: return "Device I/O error";
    case kDiskFull: return "Disk full";
    case kInputPastEndOfFile: return "Input past end of file";
    case kBadFileName: return "Bad file name";
    case kTooManyFiles: return "Too many files";
    case kPathFileAccessError: return "Path/File access error";
    case kPathNotFound: return "Path not found";
    case kDialogCancelled: return "Cancel was selected.";
    default: return "Application-defined or object-defined error";
  }
}

Failure::Failure(int code) : Failure(code, StandardDescription(code)) {}

Failure::Failure(int code, std::string description)
    : code_(code), description_(std::move(description)) {}

Failure CurrentFailure() {
  try {
    throw;
  } catch (const Failure& failure) {
    return failure;
  } catch (const std::bad_alloc&) {
    return Failure(kOutOfMemory);
  } catch (const std::exception&) {
    return Failure(kInternalError);
  }
}

Failure NotARegularFile() {
  return Failure(kPathFileAccessError,
                 "Path/File access error: not a regular file (a device, a pipe or a socket)");
}

Failure TooLargeToRead() {
  return Failure(kPathFileAccessError,
                 "Path/File access error: larger than any address book that can make a page");
}

Failure ChangedWhileRead() {
  return Failure(kDeviceIOError, "Device I/O error: the file changed while it was read");
}

Failure NotReplaceable() {
  return Failure(kPathFileAccessError,
                 "Path/File access error: not a regular file (a device, a pipe or a socket); "
                 "it is never replaced");
}

Failure PlantedLink(const std::string& link) {
  return Failure(kPathFileAccessError,
                 "Path/File access error: a link another user made in a shared folder is not "
                 "followed: " +
                     link);
}

Failure PlantedFile(const std::string& file) {
  return Failure(kPathFileAccessError,
                 "Path/File access error: a file another user made in a shared folder is not "
                 "written into: " +
                     file);
}

Failure OtherUsersLinkToAdministrator(const std::string& link) {
  return Failure(kPathFileAccessError,
                 "Path/File access error: run as root, the program does not follow a link "
                 "another user made to a file it names itself (name the file to write it): " +
                     link);
}

Failure WiderThanItsSources(const std::string& file) {
  return Failure(kPathFileAccessError,
                 "Path/File access error: the file would stay readable by users who may not "
                 "read the address books it holds: " +
                     file);
}

Failure WouldReplaceTheBook() {
  return Failure(kPathFileAccessError,
                 "Path/File access error: the file written would be the address book itself");
}

Failure FileFailure(int error_number, FileAccess access) {
  return FileFailure(std::error_code(error_number, std::generic_category()), access);
}

Failure FileFailure(std::error_code reason, FileAccess access) {
  const std::error_condition condition = reason.default_error_condition();
  using std::errc;
  if (condition == errc::no_such_file_or_directory || condition == errc::not_a_directory) {
    return Failure(access == FileAccess::kRead ? kFileNotFound : kPathNotFound);
  }
  if (condition == errc::permission_denied || condition == errc::operation_not_permitted ||
      condition == errc::is_a_directory || condition == errc::read_only_file_system ||
      condition == errc::text_file_busy || condition == errc::device_or_resource_busy ||
      condition == errc::file_exists || condition == errc::too_many_symbolic_link_levels) {
    return Failure(kPathFileAccessError);
  }
  if (condition == errc::no_space_on_device || condition == errc::file_too_large) {
    return Failure(kDiskFull);
  }
  if (condition == errc::filename_too_long || condition == errc::invalid_argument) {
    return Failure(kBadFileName);
  }
  if (condition == errc::too_many_files_open || condition == errc::too_many_files_open_in_system) {
    return Failure(kTooManyFiles);
  }
  if (condition == errc::not_enough_memory) return Failure(kOutOfMemory);
  return Failure(kDeviceIOError);
}

}  // namespace veltrana
