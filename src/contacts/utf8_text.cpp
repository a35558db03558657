#include "contacts/utf8_text.h"

namespace veltrana {

namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool IsContinuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

std::string FoldedUtf8(std::string_view text) {
  std::string folded(text);
  for (std::size_t i = 0; i < folded.size(); ++i) {
    const auto byte = static_cast<unsigned char>(folded[i]);
    if (byte >= 'A' && byte <= 'Z') {
      folded[i] = static_cast<char>(byte + 0x20);
    } else if (byte == 0xC3 && i + 1 < folded.size()) {
      // U+00C0..U+00DE are C3 80..C3 9E; U+00D7 is C3 97.
      const auto next = static_cast<unsigned char>(folded[i + 1]);
      if (next >= 0x80 && next <= 0x9E && next != 0x97) {
        folded[i + 1] = static_cast<char>(next + 0x20);
      }
      ++i;
    }
  }
  return folded;
}

std::size_t Utf8CutLength(std::string_view text, std::size_t start, std::size_t limit) {
  if (start >= text.size()) return 0;
  if (text.size() - start <= limit) return text.size() - start;
  std::size_t length = limit;
  while (length > 0 && IsContinuationByte(text[start + length])) --length;
  if (length == 0) length = limit;  // not UTF-8 here: cut where asked
  return length;
}

std::string_view TrimSpace(std::string_view text) {
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
  return text;
}

std::string CollapseSpace(std::string_view text) {
  std::string collapsed;
  collapsed.reserve(text.size());
  bool pending_space = false;
  for (const char c : text) {
    if (IsSpace(c)) {
      pending_space = !collapsed.empty();
      continue;
    }
    if (pending_space) collapsed += ' ';
    pending_space = false;
    collapsed += c;
  }
  return collapsed;
}

}  // namespace veltrana
