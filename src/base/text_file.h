// Text files (the nickname file, the settings file) are read whole into
// memory and taken line by line. CR LF, a lone LF and a lone CR each end a
// line, so files copied from other systems read the same; the line ends are
// not part of the lines. Every other byte, NUL and byte 26 included, is data.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace veltrana {

// The whole file. A failure carries the file failure for the platform's
// reason (53 when the file does not exist, 75 for a directory).
std::string ReadTextFile(const std::filesystem::path& path);

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
