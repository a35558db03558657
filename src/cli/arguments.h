// The command line's arguments as the program's 8-bit text, each with the
// system's own name for it: on Windows the arguments arrive in UTF-16, and a
// file name the ANSI code page cannot spell must still open.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace veltrana {

struct Arguments {
  std::vector<std::string> texts;            // without the program's name
  std::vector<std::filesystem::path> paths;  // the same, as the system names them

  // The system's name for the argument whose text is `text`, or the file
  // the text names when no argument is exactly that text.
  [[nodiscard]] std::filesystem::path PathOf(std::string_view text) const;
};

#if defined(_WIN32)
[[nodiscard]] Arguments ArgumentsOf(int argc, wchar_t** argv);
#else
[[nodiscard]] Arguments ArgumentsOf(int argc, char** argv);
#endif

}  // namespace veltrana
