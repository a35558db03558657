// A text file (the nickname file, the settings file), read once into memory
// and split into lines. CR LF, a lone LF and a lone CR each end a line, so
// files copied from other systems read the same; the line ends are not part
// of the lines.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace veltrana {

// The lines of `content`; a last line without a line end counts, an empty
// content has no line.
std::vector<std::string_view> SplitLines(std::string_view content);

class TextFile {
 public:
  // Reads the whole file. A failure carries the file failure for the
  // platform's reason (53 when the file does not exist).
  static TextFile Read(const std::string& path);

  const std::vector<std::string_view>& lines() const { return lines_; }

  TextFile(TextFile&&) noexcept = default;
  TextFile& operator=(TextFile&&) noexcept = default;
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;

 private:
  explicit TextFile(std::string content);

  // Held through a pointer so that the views stay valid when the file moves.
  std::unique_ptr<const std::string> content_;
  std::vector<std::string_view> lines_;  // views into *content_
};

}  // namespace veltrana
