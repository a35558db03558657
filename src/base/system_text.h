// File names between the program's 8-bit text and the system's own names.
// The program keeps text as the system's 8-bit code page has it: what it
// writes into the page and into veltra.ini. On Windows that is the ANSI
// code page, while the system names files in UTF-16; elsewhere the bytes of
// a name are the name.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace veltrana {

// The 8-bit text of a file name. On Windows a name that the ANSI code page
// cannot spell is given by its short (8.3) name, which every code page
// spells and which still names the file; where the volume keeps no short
// names, by the code page's nearest spelling, with "?" for what it lacks.
std::string TextOfPath(const std::filesystem::path& path);

// The file an 8-bit text names, by its long name where the text gives its
// short one.
std::filesystem::path PathOfText(std::string_view text);

// The long name of an existing file given by a short name (Windows); the
// path as it is otherwise.
std::filesystem::path LongNameOf(const std::filesystem::path& path);

#if defined(_WIN32)
// Program text (ANSI code page) as the system's wide characters, for the
// window, and back.
std::wstring WideOfText(std::string_view text);
std::string TextOfWide(std::wstring_view wide);
#endif

}  // namespace veltrana
