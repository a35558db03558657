// Text files (the nickname file, the settings file) are read whole into
// memory and taken line by line. CR LF, a lone LF and a lone CR each end a
// line, so files copied from other systems read the same; the line ends are
// not part of the lines. Every other byte, NUL and byte 26 included, is data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "base/native_file.h"

namespace veltrana {

// The largest file read: the old system's file positions and lengths are
// 32-bit (2 GiB - 1 bytes); no larger book can make a page.
inline constexpr std::uint64_t kMostBytesRead = 0x7FFFFFFF;

// The whole file. A failure carries the file failure for the platform's
// reason (53 when the file does not exist, 75 for a directory); what is not
// a regular file (a device, a pipe) and a file over kMostBytesRead are
// refused before a byte is read, and a file that changes while it is read
// fails (57). `id`, when given, receives the identity of the file read,
// and `permissions` its permission bits.
std::string ReadTextFile(const std::filesystem::path& path, native::FileId* id = nullptr,
                         unsigned* permissions = nullptr);

// Walks the lines of a text in one pass; each byte is looked at a bounded
// number of times, whatever mix of line ends the text has.
class LineCursor {
 public:
  explicit LineCursor(std::string_view content) : content_(content) {}

  // The next line into `line`; false at the end. A last line without a line
  // end counts; an empty text has no line.
  bool Next(std::string_view& line);

 private:
  std::string_view content_;
  std::size_t start_ = 0;
  std::size_t next_lf_ = 0;  // the first LF at or after start_, or npos
  bool lf_known_ = false;
};

}  // namespace veltrana
