#include "formats/vcard_line.h"

#include <array>

#include "text/utf8_text.h"

namespace veltrana {

namespace {

constexpr std::size_t kLineOctets = 75;

}  // namespace

void AppendEscapedVCardText(std::string_view text, bool semicolon, std::string& escaped) {
  // Most of a value needs no escape: it is copied a run at a time.
  static constexpr auto kSpecial = [] {
    std::array<bool, 256> special{};
    for (const unsigned char c : {'\\', ';', ',', '\n', '\r'}) special[c] = true;
    return special;
  }();
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t run = i;
    while (i < text.size() && !kSpecial[static_cast<unsigned char>(text[i])]) ++i;
    escaped.append(text.substr(run, i - run));
    if (i == text.size()) break;
    switch (text[i++]) {
      case '\\': escaped += "\\\\"; break;
      case ';': escaped += semicolon ? "\\;" : ";"; break;
      case ',': escaped += "\\,"; break;
      case '\n': escaped += "\\n"; break;
      default: break;  // '\r'
    }
  }
}

std::string VCardUri(std::string_view uri, bool semicolon) {
  std::string written;
  for (const char c : TrimSpace(uri)) {
    if (semicolon && c == ';') written += '\\';
    if (c != '\r' && c != '\n') written += c;
  }
  return written;
}

void EndVCardLine(std::string& text, std::size_t start) {
  if (text.size() - start <= kLineOctets) {
    text.append("\r\n");
    return;
  }
  const std::string line = text.substr(start);
  text.resize(start);
  std::size_t at = Utf8CutLength(line, 0, kLineOctets);
  text.append(line.substr(0, at));
  while (at < line.size()) {
    const std::size_t part = Utf8CutLength(line, at, kLineOctets - 1);  // after the blank
    text.append("\r\n ").append(line.substr(at, part));
    at += part;
  }
  text.append("\r\n");
}

}  // namespace veltrana
