// A failure of an operation: a numeric code and its description. It passes up
// to the nearest operation that traps failures (the conversion run, Browse,
// the load step), which handles the codes it expects and reports the rest.
#pragma once

#include <exception>
#include <string>
#include <system_error>

namespace veltrana {

// The codes the program raises or tests itself.
enum FailureCode : int {
  kInvalidArgument = 5,
  kOverflow = 6,
  kOutOfMemory = 7,
  kInternalError = 51,
  kBadFileNameOrNumber = 52,
  kFileNotFound = 53,
  kDeviceIOError = 57,
  kDiskFull = 61,
  kInputPastEndOfFile = 62,
  kBadFileName = 64,
  kTooManyFiles = 67,
  kPathFileAccessError = 75,
  kPathNotFound = 76,
  kDialogCancelled = 32755,
};

// The standard description of a failure code ("Overflow", "File not found").
std::string StandardDescription(int code);

class Failure : public std::exception {
 public:
  explicit Failure(int code);
  Failure(int code, std::string description);

  int code() const noexcept { return code_; }
  const std::string& description() const noexcept { return description_; }
  const char* what() const noexcept override { return description_.c_str(); }

 private:
  int code_;
  std::string description_;
};

// What a file operation was doing when the platform refused it; the same
// platform error means "file not found" when reading and "path not found"
// when creating.
enum class FileAccess { kRead, kWrite };

// The failure for the platform's reason why a file operation failed.
Failure FileFailure(std::error_code reason, FileAccess access);
// The same for an error number of the C library (errno).
Failure FileFailure(int error_number, FileAccess access);

// Files the program refuses to read or replace, each with a description
// that says why (code 75, or 57 for a file that changed under the reader).
Failure NotARegularFile();
Failure TooLargeToRead();
Failure ChangedWhileRead();
Failure NotReplaceable();
Failure PlantedLink(const std::string& link);
Failure PlantedFile(const std::string& file);
Failure OtherUsersLinkToAdministrator(const std::string& link);
Failure WiderThanItsSources(const std::string& file);
Failure WouldReplaceTheBook();

// The failure for the exception being handled, for the traps: a Failure as
// it is, memory exhaustion as "Out of memory", any other as "Internal error".
// Call it only inside a catch block.
Failure CurrentFailure();

}  // namespace veltrana
