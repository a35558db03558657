#include "book/text_store.h"

#include <algorithm>

namespace veltrana {

std::string_view TextStore::Keep(std::string_view text) {
  constexpr std::size_t kBlockSize = 64 * 1024;
  if (text.empty()) return {};
  if (text.size() > left_) {
    const std::size_t size = std::max(kBlockSize, text.size());
    blocks_.emplace_back(new char[size]);
    next_ = blocks_.back().get();
    left_ = size;
  }
  char* const kept = next_;
  std::copy(text.begin(), text.end(), kept);
  next_ += text.size();
  left_ -= text.size();
  return {kept, text.size()};
}

std::string_view TextStore::Adopt(std::string&& text) {
  return *adopted_.emplace_back(std::make_unique<const std::string>(std::move(text)));
}

}  // namespace veltrana
