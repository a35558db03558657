#include "formats/csv_field.h"

#include <algorithm>

#include "text/utf8_text.h"

namespace veltrana {

namespace {

// Digits, blanks and the signs a phone number or a number is written with,
// with at least one digit, and perhaps an extension at its end ("x 7",
// "ext. 7", "extension 7").
bool IsNumberAsWritten(std::string_view field) {
  std::size_t end = field.size();
  while (end > 0 && field[end - 1] >= '0' && field[end - 1] <= '9') --end;
  if (end < field.size()) {
    std::size_t word = end;
    while (word > 0 && field[word - 1] == ' ') --word;
    const std::string_view before = field.substr(0, word);
    for (const std::string_view mark : {"extension", "ext.", "ext", "x"}) {
      if (before.size() > mark.size() &&
          EqualIgnoringAsciiCase(before.substr(before.size() - mark.size()), mark)) {
        field = before.substr(0, before.size() - mark.size());
        break;
      }
    }
  }
  bool digit = false;
  for (const char c : field) {
    if (c >= '0' && c <= '9') {
      digit = true;
    } else if (c != ' ' && c != '+' && c != '-' && c != '(' && c != ')' && c != '.' &&
               c != '/') {
      return false;
    }
  }
  return digit;
}

// Whether a spreadsheet would take `field` for a formula.
bool LooksLikeFormula(std::string_view field) {
  if (field.empty()) return false;
  switch (field.front()) {
    case '=':
    case '@':
    case '\t':
    case '\r': return true;
    case '+':
    case '-': return !IsNumberAsWritten(field);
    default: return false;
  }
}

}  // namespace

void AppendCsvField(std::string_view field, std::string& out) {
  const bool guarded = LooksLikeFormula(field);
  const bool plain = std::none_of(field.begin(), field.end(), [](char c) {
    return c == '"' || c == ',' || c == '\r' || c == '\n';
  });
  if (plain) {
    if (guarded) out += '\'';
    out.append(field);
    return;
  }
  out += '"';
  if (guarded) out += '\'';
  for (const char c : field) {
    if (c == '"') {
      out.append("\"\"");
    } else if (c == '\n') {
      out.append("\r\n");
    } else {
      out += c;
    }
  }
  out += '"';
}

}  // namespace veltrana
