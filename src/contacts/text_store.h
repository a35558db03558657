// Texts kept one after another in large blocks that never move, for views
// that must stay valid while more texts come: a small string each would
// cost a heap block of its own.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

namespace veltrana {

class TextStore {
 public:
  // A copy of `text` that lives as long as the store.
  std::string_view Keep(std::string_view text);

 private:
  std::vector<std::unique_ptr<char[]>> blocks_;
  char* next_ = nullptr;  // in the last block
  std::size_t left_ = 0;  // of the last block
};

}  // namespace veltrana
