#include "contacts/text_index.h"

namespace veltrana {

std::size_t TextIndex::Find(std::string_view text) const {
  return slots_.Find(HashOfText(text), [&](std::size_t number) { return keys_[number] == text; });
}

std::size_t TextIndex::Add(std::string_view text) {
  const std::size_t number = keys_.size();
  Insert(text);
  return number;
}

bool TextIndex::Insert(std::string_view text) {
  // Room for the key first, so that a slot never names a key that failed
  // to come.
  if (keys_.size() == keys_.capacity()) keys_.reserve(keys_.empty() ? 16 : 2 * keys_.size());
  const std::size_t number = keys_.size();
  if (slots_.FindOrAdd(HashOfText(text), number, [&](std::size_t other) {
        return keys_[other] == text;
      }) != HashSlots::kNone) {
    return false;
  }
  keys_.push_back(text);
  return true;
}

void TextIndex::Reserve(std::size_t texts) {
  keys_.reserve(texts);
  slots_.Reserve(texts);
}

}  // namespace veltrana
