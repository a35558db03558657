// The character set of the system's own 8-bit text, for books written in it.
// Only Windows has one (its ANSI code page); elsewhere there is none, and a
// book that names no character set reads as windows-1252.
#pragma once

#include <string>
#include <string_view>

namespace veltrana {

// The number of the system's ANSI code page (1252, 1251, 932 ...), or 0
// where the system has none.
[[nodiscard]] unsigned SystemCodePage();

// `bytes` read in that code page, as UTF-8, through the system's own
// converter; a byte it cannot read becomes its default character. Only
// asked where SystemCodePage() is not 0.
[[nodiscard]] std::string SystemCodePageToUtf8(std::string_view bytes);

}  // namespace veltrana
