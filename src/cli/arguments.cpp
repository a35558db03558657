#include "cli/arguments.h"

#include "base/system_text.h"

namespace veltrana {

std::filesystem::path Arguments::PathOf(std::string_view text) const {
  for (std::size_t i = 0; i < texts.size(); ++i) {
    if (texts[i] == text) return paths[i];
  }
  return PathOfText(text);
}

#if defined(_WIN32)
Arguments ArgumentsOf(int argc, wchar_t** argv) {
  Arguments arguments;
  for (int i = 1; i < argc; ++i) {
    arguments.paths.emplace_back(argv[i]);
    arguments.texts.push_back(TextOfPath(arguments.paths.back()));
  }
  return arguments;
}
#else
Arguments ArgumentsOf(int argc, char** argv) {
  Arguments arguments;
  for (int i = 1; i < argc; ++i) {
    arguments.texts.emplace_back(argv[i]);
    arguments.paths.emplace_back(arguments.texts.back());
  }
  return arguments;
}
#endif

}  // namespace veltrana
