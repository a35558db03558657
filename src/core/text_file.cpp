#include "core/text_file.h"

#include <cerrno>
#include <cstdio>
#include <memory>

#include "core/failure.h"

namespace veltrana {

std::vector<std::string_view> SplitLines(std::string_view content) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < content.size()) {
    const std::size_t end = content.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.push_back(content.substr(start));
      break;
    }
    lines.push_back(content.substr(start, end - start));
    const bool crlf = content[end] == '\r' && end + 1 < content.size() && content[end + 1] == '\n';
    start = end + (crlf ? 2 : 1);
  }
  return lines;
}

TextFile::TextFile(std::string content)
    : content_(std::make_unique<const std::string>(std::move(content))),
      lines_(SplitLines(*content_)) {}

TextFile TextFile::Read(const std::string& path) {
  struct Closer {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  errno = 0;
  std::unique_ptr<std::FILE, Closer> file(std::fopen(path.c_str(), "rb"));
  if (!file) throw FileFailure(errno, FileAccess::kRead);

  std::string content;
  char buffer[1 << 16];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) content.append(buffer, got);
  if (std::ferror(file.get())) throw FileFailure(errno, FileAccess::kRead);
  return TextFile(std::move(content));
}

}  // namespace veltrana
