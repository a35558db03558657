#include "formats/ldif_line.h"

#include <algorithm>
#include <array>

#include "formats/base64.h"
#include "text/utf8_text.h"

namespace veltrana {

namespace {

// A table of the bytes for which `is` holds, made once.
template <typename Is>
constexpr std::array<bool, 256> ByteTable(Is is) {
  std::array<bool, 256> table{};
  for (int byte = 0; byte < 256; ++byte) table[static_cast<std::size_t>(byte)] = is(byte);
  return table;
}

}  // namespace

bool NeedsBase64(std::string_view value) {
  if (value.empty()) return false;
  const char first = value.front();
  if (first == ' ' || first == ':' || first == '<' || value.back() == ' ') return true;
  static constexpr std::array<bool, 256> kUnsafe = ByteTable(
      [](int byte) { return byte >= 0x80 || byte == '\0' || byte == '\r' || byte == '\n'; });
  // Printable ASCII, most of a value, needs none; the rest is looked at
  // byte by byte.
  const std::size_t plain = PlainAsciiRun(value, 0);
  return std::any_of(value.begin() + static_cast<std::ptrdiff_t>(plain), value.end(),
                     [](char c) { return kUnsafe[static_cast<unsigned char>(c)]; });
}

void AppendLdifLine(std::string_view name, std::string_view value, std::string& out) {
  const std::size_t start = out.size();
  out.append(name);
  if (NeedsBase64(value)) {
    out.append(":: ");
    AppendBase64(value, out);
  } else {
    out.append(": ").append(value);
  }
  if (out.size() - start > kLdifLineOctets) FoldLdifLine(out, start);
  out += '\n';
}

// Each piece after the first goes on a line of its own that opens with a
// blank, which a reader drops as it joins the line again. Every byte of a
// line is ASCII (anything else is in base64), so no cut splits a character.
void FoldLdifLine(std::string& text, std::size_t start) {
  const std::string line = text.substr(start);
  text.resize(start);
  text.append(line, 0, kLdifLineOctets);
  for (std::size_t at = kLdifLineOctets; at < line.size(); at += kLdifLineOctets - 1) {
    text.append("\n ").append(line, at, kLdifLineOctets - 1);
  }
}

// A value of a DN's attribute as RFC 4514 escapes it.
void AppendDnValue(std::string_view value, std::string& escaped) {
  static constexpr std::array<bool, 256> kSpecial = ByteTable([](int c) {
    return c == ',' || c == '+' || c == '"' || c == '\\' || c == '<' || c == '>' || c == ';' ||
           c == '=' || c == '\n' || c == ' ' || c == '#';
  });
  std::size_t run = 0;  // the start of the bytes not yet copied, none special
  for (std::size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    if (!kSpecial[static_cast<unsigned char>(c)]) continue;  // most of a value
    escaped.append(value.substr(run, i - run));
    run = i + 1;
    const bool edge = (i == 0 && (c == ' ' || c == '#')) || (i + 1 == value.size() && c == ' ');
    if (edge || (c != ' ' && c != '#' && c != '\n')) escaped += '\\';
    escaped += c == '\n' ? ' ' : c;
  }
  escaped.append(value.substr(run));
}

}  // namespace veltrana
