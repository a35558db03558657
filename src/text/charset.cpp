#include "text/charset.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "base/case_fold.h"
#include "base/nickname_file.h"
#include "text/system_code_page.h"
#include "text/utf8_text.h"

namespace veltrana {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

struct CharsetEntry {
  Charset charset;
  const char* name;
};

// Each set's own name first, the name the program prints; then its other
// names.
constexpr std::array<CharsetEntry, 12> kNames{{
    {Charset::kWindows1252, "windows-1252"},
    {Charset::kWindows1252, "cp1252"},
    {Charset::kWindows1252, "1252"},
    {Charset::kIso88591, "iso-8859-1"},
    {Charset::kIso88591, "iso8859-1"},
    {Charset::kIso88591, "latin1"},
    {Charset::kIso88591, "28591"},
    {Charset::kMacintosh, "macintosh"},
    {Charset::kMacintosh, "mac"},
    {Charset::kMacintosh, "10000"},
    {Charset::kUtf8, "utf-8"},
    {Charset::kUtf8, "utf8"},
}};

constexpr const char* OwnName(Charset charset) {
  for (const CharsetEntry& entry : kNames) {
    if (entry.charset == charset) return entry.name;
  }
  return nullptr;
}

static_assert(OwnName(Charset::kWindows1252) && OwnName(Charset::kIso88591) &&
                  OwnName(Charset::kMacintosh) && OwnName(Charset::kUtf8),
              "every character set has a name");

using HighHalf = std::array<std::uint16_t, 128>;  // bytes 0x80 to 0xFF; 0: undefined

// Windows-1252 as Microsoft defines it: five bytes are unassigned.
constexpr HighHalf kWindows1252{
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// Mac OS Roman as Apple maps it (0xC6 the increment sign U+2206, 0xDB the
// euro sign, 0xF0 the Apple logo U+F8FF).
constexpr HighHalf kMacRoman{
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1, 0x00E0, 0x00E2, 0x00E4, 0x00E3,
    0x00E5, 0x00E7, 0x00E9, 0x00E8, 0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3,
    0x00F2, 0x00F4, 0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC, 0x2020, 0x00B0, 0x00A2, 0x00A3,
    0x00A7, 0x2022, 0x00B6, 0x00DF, 0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8,
    0x221E, 0x00B1, 0x2264, 0x2265, 0x00A5, 0x00B5, 0x2202, 0x2211, 0x220F, 0x03C0, 0x222B, 0x00AA,
    0x00BA, 0x03A9, 0x00E6, 0x00F8, 0x00BF, 0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB,
    0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5, 0x0152, 0x0153, 0x2013, 0x2014, 0x201C, 0x201D,
    0x2018, 0x2019, 0x00F7, 0x25CA, 0x00FF, 0x0178, 0x2044, 0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02,
    0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1, 0x00CB, 0x00C8, 0x00CD, 0x00CE,
    0x00CF, 0x00CC, 0x00D3, 0x00D4, 0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9, 0x0131, 0x02C6, 0x02DC,
    0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7,
};

// The rest of windows-1252 (0xA0 to 0xFF) and all of iso-8859-1 are
// Latin-1; its 0x80 to 0x9F are C1 controls, which no text holds.
constexpr std::uint16_t HighCharacter(Charset charset, unsigned char byte) {
  const std::size_t i = byte - 0x80u;
  switch (charset) {
    case Charset::kMacintosh: return kMacRoman[i];
    case Charset::kIso88591: return byte < 0xA0 ? 0 : byte;
    default: return byte < 0xA0 ? kWindows1252[i] : byte;
  }
}

void AppendUtf8(std::uint32_t code, std::string& out) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// Control characters are no text an address book can hold: all but the
// tab, the line ends and the line-break marker, and the C1 controls.
bool IsReplacedControl(std::uint32_t code) {
  if (code < 0x20) return code != '\t' && code != '\n' && code != '\r' && code != kLineBreakMarker;
  return code >= 0x7F && code <= 0x9F;
}

// The length of the valid UTF-8 sequence at `at` and its code point; 0 when
// none starts there (a stray, overlong, cut or surrogate sequence).
std::size_t Utf8Sequence(std::string_view bytes, std::size_t at, std::uint32_t& code) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[at + i]); };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  std::uint32_t minimum = 0;
  if (lead < 0x80) {
    code = lead;
    return 1;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, minimum = 0x80, code = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, minimum = 0x800, code = lead & 0x0Fu;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, minimum = 0x10000, code = lead & 0x07u;
  } else {
    return 0;
  }
  if (bytes.size() - at < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(i) & 0x3Fu);
  }
  if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;  // of each byte of a word

// The length of the run of ASCII at `at`, eight bytes at a time.
std::size_t AsciiRun(std::string_view bytes, std::size_t at) {
  std::size_t end = at;
  while (bytes.size() - end >= 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, bytes.data() + end, 8);
    if ((word & kHighBits) != 0) break;
    end += 8;
  }
  while (end < bytes.size() && static_cast<unsigned char>(bytes[end]) < 0x80) ++end;
  return end - at;
}

void ConvertUtf8(std::string_view bytes, Utf8Text& out) {
  out.text.reserve(bytes.size());
  std::size_t i = 0;
  while (i < bytes.size()) {
    const std::size_t run = PlainAsciiRun(bytes, i);
    out.text.append(bytes.substr(i, run));
    i += run;
    if (i == bytes.size()) break;
    std::uint32_t code = 0;
    const std::size_t length = Utf8Sequence(bytes, i, code);
    if (length == 0 || IsReplacedControl(code)) {
      out.text.append(kReplacement);
      ++out.replaced;
      i += length == 0 ? 1 : length;
    } else {
      out.text.append(bytes.substr(i, length));
      i += length;
    }
  }
}

void ConvertSingleByte(std::string_view bytes, Charset charset, Utf8Text& out) {
  // Each byte's UTF-8, made once: the replacement for a byte that is no text.
  std::array<std::string, 256> table;
  std::array<bool, 256> no_text{};
  for (std::uint32_t b = 0; b < 256; ++b) {
    const std::uint32_t code = b < 0x80 ? b : HighCharacter(charset, static_cast<unsigned char>(b));
    if (code != 0 && !IsReplacedControl(code)) {
      AppendUtf8(code, table[b]);
    } else {
      table[b] = kReplacement;
      no_text[b] = true;
    }
  }
  // The text's length first, so that it is allocated once and no larger.
  std::size_t length = bytes.size();
  for (std::size_t i = PlainAsciiRun(bytes, 0); i < bytes.size(); i += PlainAsciiRun(bytes, i)) {
    length += table[static_cast<unsigned char>(bytes[i++])].size() - 1;
  }
  out.text.reserve(length);
  std::size_t i = 0;
  while (i < bytes.size()) {
    const std::size_t run = PlainAsciiRun(bytes, i);
    out.text.append(bytes.substr(i, run));
    i += run;
    for (; i < bytes.size() && !IsPlainAscii(bytes[i]); ++i) {
      const auto byte = static_cast<unsigned char>(bytes[i]);
      if (no_text[byte]) ++out.replaced;
      out.text.append(table[byte]);
    }
  }
}

// Whether ToUtf8 would give `bytes` back unchanged: no byte-order mark and
// nothing replaced, and in a single-byte set nothing but ASCII.
bool IsUtf8AsItStands(std::string_view bytes, Charset charset) {
  if (charset == Charset::kAnsiCodePage && SystemCodePage() != 0) return false;  // the system's
  if (charset == Charset::kUtf8 && bytes.substr(0, 3) == "\xEF\xBB\xBF") return false;
  for (std::size_t i = PlainAsciiRun(bytes, 0); i < bytes.size(); i += PlainAsciiRun(bytes, i)) {
    std::uint32_t code = static_cast<unsigned char>(bytes[i]);
    std::size_t length = 1;
    if (code >= 0x80) {
      if (charset != Charset::kUtf8) return false;
      length = Utf8Sequence(bytes, i, code);
      if (length == 0) return false;
    }
    if (IsReplacedControl(code)) return false;
    i += length;
  }
  return true;
}

}  // namespace

std::optional<Charset> CharsetNamed(std::string_view name) {
  for (const CharsetEntry& entry : kNames) {
    if (CompareIgnoringCase(entry.name, name) == 0) return entry.charset;
  }
  return std::nullopt;
}

std::string CharsetName(Charset charset) {
  if (charset == Charset::kAnsiCodePage) {
    const unsigned code_page = SystemCodePage();
    if (code_page != 0) return "windows-" + std::to_string(code_page);
    charset = Charset::kWindows1252;
  }
  return OwnName(charset);
}

std::vector<std::string_view> CharsetNames() {
  std::vector<std::string_view> names;
  for (const CharsetEntry& entry : kNames) {
    if (std::string_view(entry.name) == OwnName(entry.charset)) names.emplace_back(entry.name);
  }
  return names;
}

Charset DetectCharset(std::string_view bytes) {
  bool high = false, valid_utf8 = true;
  for (std::size_t i = 0; i < bytes.size() && valid_utf8;) {
    if (static_cast<unsigned char>(bytes[i]) < 0x80) {
      i += AsciiRun(bytes, i);
      continue;
    }
    high = true;
    std::uint32_t code = 0;
    const std::size_t length = Utf8Sequence(bytes, i, code);
    valid_utf8 = length > 0;
    i += length;
  }
  if (high && valid_utf8) return Charset::kUtf8;
  const std::size_t cr = bytes.find('\r');
  if (cr != std::string_view::npos && bytes.find('\n') == std::string_view::npos) {
    return Charset::kMacintosh;
  }
  switch (SystemCodePage()) {
    case 0:
    case 1252: return Charset::kWindows1252;
    case 28591: return Charset::kIso88591;
    case 10000: return Charset::kMacintosh;
    case 65001: return Charset::kUtf8;
    default: return Charset::kAnsiCodePage;
  }
}

Utf8Text ToUtf8(std::string&& bytes, Charset charset) {
  if (IsUtf8AsItStands(bytes, charset)) return {std::move(bytes), 0};
  Utf8Text text = ToUtf8(std::string_view(bytes), charset);
  std::string().swap(bytes);
  return text;
}

Utf8Text ToUtf8(std::string_view bytes, Charset charset) {
  Utf8Text out;
  if (charset == Charset::kUtf8) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    ConvertUtf8(bytes, out);
    return out;
  }
  if (charset == Charset::kAnsiCodePage && SystemCodePage() != 0) {
    // Every byte the system cannot read is its default character.
    ConvertUtf8(SystemCodePageToUtf8(bytes), out);
    return out;
  }
  ConvertSingleByte(bytes, charset, out);
  return out;
}

}  // namespace veltrana
