#include "base/text_file.h"

#include <cerrno>
#include <cstring>
#include <system_error>

#include "base/c_file.h"
#include "base/failure.h"

namespace veltrana {

std::string ReadTextFile(const std::filesystem::path& path) {
  errno = 0;
  const CFile file = OpenCFile(path, "rb");
  if (!file) throw FileFailure(errno, FileAccess::kRead);

  // The size is a hint for one allocation; the file is read to its end,
  // however long that turns out to be.
  std::error_code unknown;
  const std::uintmax_t expected = std::filesystem::file_size(path, unknown);
  std::string content;
  content.resize(unknown ? std::size_t{1} << 16 : static_cast<std::size_t>(expected) + 1);
  std::size_t filled = 0;
  for (;;) {
    if (filled == content.size()) content.resize(content.size() * 2);
    const std::size_t got =
        std::fread(content.data() + filled, 1, content.size() - filled, file.get());
    filled += got;
    if (got == 0) break;
  }
  if (std::ferror(file.get())) throw FileFailure(errno, FileAccess::kRead);
  content.resize(filled);
  return content;
}

bool LineCursor::Next(std::string_view& line) {
  if (start_ >= content_.size()) return false;
  if (!lf_known_ || (next_lf_ != std::string_view::npos && next_lf_ < start_)) {
    next_lf_ = content_.find('\n', start_);
    lf_known_ = true;
  }
  const std::size_t limit = next_lf_ == std::string_view::npos ? content_.size() : next_lf_;
  const void* cr = std::memchr(content_.data() + start_, '\r', limit - start_);
  std::size_t end = limit;
  std::size_t next = limit + 1;  // past the LF (or past the end)
  if (cr != nullptr) {
    end = static_cast<std::size_t>(static_cast<const char*>(cr) - content_.data());
    next = end + 1 == next_lf_ ? end + 2 : end + 1;  // CR LF, or a lone CR
  }
  line = content_.substr(start_, end - start_);
  start_ = next;
  return true;
}

}  // namespace veltrana
