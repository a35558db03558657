#include "text/utf8_text.h"

#include <algorithm>

#include "base/case_fold.h"

namespace veltrana {

namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 0x20) : c;
}

bool IsContinuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

void FoldUtf8Into(std::string_view text, std::string& folded) {
  folded.assign(text);
  char* const bytes = folded.data();
  const std::size_t size = folded.size();
  for (std::size_t i = 0; i < size; ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte < 0x80) {
      bytes[i] = static_cast<char>(FoldCase(bytes[i]));
    } else if (byte == 0xC3 && i + 1 < size) {
      // C3 80..C3 BF are U+00C0..U+00FF, whose Latin-1 byte is the second
      // byte plus 0x40; a folded letter stays in that range.
      const auto next = static_cast<unsigned char>(bytes[++i]);
      if (next >= 0x80 && next <= 0xBF) {
        bytes[i] = static_cast<char>(FoldCase(static_cast<char>(next + 0x40)) - 0x40);
      }
    }
  }
}

std::string AsciiLower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = LowerAscii(c);
  return lower;
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return LowerAscii(x) == LowerAscii(y);
         });
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
