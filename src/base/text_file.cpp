#include "base/text_file.h"

#include <cerrno>
#include <cstring>
#include <system_error>

#include "base/c_file.h"
#include "base/failure.h"

namespace veltrana {

std::string ReadTextFile(const std::filesystem::path& path, native::FileId* id,
                         unsigned* permissions) {
  native::FileId read;
  std::string content = native::ReadRegularFile(path, kMostBytesRead, read, permissions);
  if (id != nullptr) *id = read;
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
