// The text floor: a book's bytes turned into UTF-8, and that text handled
// (utf8_text.h). Here the character sets a nickname file may be written in,
// the rule that picks one when the user names none, and the text turned into
// UTF-8 by tables of the program's own, so that a book gives the same text
// on every system (the Windows system's own code page excepted:
// system_code_page.h).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veltrana {

// kAnsiCodePage is the Windows system's own code page, which the automatic
// choice takes on Windows when it is none of the others; elsewhere it reads
// as windows-1252.
enum class Charset { kWindows1252, kIso88591, kMacintosh, kUtf8, kAnsiCodePage };

// The character set a name stands for ("windows-1252", "iso-8859-1",
// "macintosh", "utf-8" and their usual other names, letter case ignored);
// none for a name the export does not read, and for "auto".
[[nodiscard]] std::optional<Charset> CharsetNamed(std::string_view name);

// The name the program prints for a character set ("windows-1252";
// "windows-1251" for the ANSI code page 1251).
[[nodiscard]] std::string CharsetName(Charset charset);

// The name the program prints for each set the user may name, in the order
// it lists them: "windows-1252" first.
[[nodiscard]] std::vector<std::string_view> CharsetNames();

// The set a book is read in when the user names none: UTF-8 when the bytes
// are valid UTF-8 and hold a byte above 0x7F; macintosh when the lines end
// in CR alone (the Macintosh version's files); else windows-1252, on
// Windows the system's ANSI code page.
[[nodiscard]] Charset DetectCharset(std::string_view bytes);

struct Utf8Text {
  std::string text;
  // Bytes that were not text: not defined in the character set (or not a
  // valid sequence of it), or control characters other than tab, the line
  // ends and the line-break marker, C1 controls included. Each became
  // U+FFFD.
  std::size_t replaced = 0;
};

// `bytes` as UTF-8. A byte-order mark that opens a UTF-8 text is dropped.
[[nodiscard]] Utf8Text ToUtf8(std::string_view bytes, Charset charset);
// The same, giving the bytes up: a text that is UTF-8 as it stands (plain
// ASCII in any set, for one) becomes the result itself, without a copy.
[[nodiscard]] Utf8Text ToUtf8(std::string&& bytes, Charset charset);

}  // namespace veltrana
