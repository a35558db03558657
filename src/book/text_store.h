// The texts the contacts are views into: each book's text, taken over whole,
// and the texts made while reading (a value whose line breaks are written
// anew, "tag: value" notes, real names), kept one after another in large
// blocks. Nothing kept ever moves, so the views stay valid as more texts come
// and when the store itself is moved.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace veltrana {

class TextStore {
 public:
  // A copy of `text` that lives as long as the store.
  [[nodiscard]] std::string_view Keep(std::string_view text);
  // `text` itself, which the store keeps from now on.
  [[nodiscard]] std::string_view Adopt(std::string&& text);

 private:
  std::vector<std::unique_ptr<char[]>> blocks_;
  std::vector<std::unique_ptr<const std::string>> adopted_;
  char* next_ = nullptr;  // in the last block
  std::size_t left_ = 0;  // of the last block
};

}  // namespace veltrana
