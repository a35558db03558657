// The character sets a nickname file may be written in, and its text turned
// into UTF-8 by the platform's own converter (iconv, or the Windows API).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veltrana {

enum class Charset { kWindows1252, kIso88591, kMacintosh, kUtf8 };

// The character set a name stands for ("windows-1252", "iso-8859-1",
// "macintosh", "utf-8" and their usual other names, letter case ignored);
// none for a name the export does not read.
std::optional<Charset> CharsetNamed(std::string_view name);

// The name the program prints for a character set ("windows-1252").
const char* CharsetName(Charset charset);

// The name the program prints for each set the export reads, in the order
// it lists them: "windows-1252" (the default) first.
std::vector<std::string_view> CharsetNames();

struct Utf8Text {
  std::string text;
  // Bytes that were not text: not defined in the character set (or not a
  // valid sequence of it), or control characters other than tab, the line
  // ends and the line-break marker. Each became U+FFFD.
  std::size_t replaced = 0;
};

// `bytes` as UTF-8. A byte-order mark that opens a UTF-8 text is dropped.
// Fails with code 5 when the platform has no converter for the set.
Utf8Text ToUtf8(std::string_view bytes, Charset charset);

}  // namespace veltrana
