// The folder that holds the running program, where its settings file lives.
#pragma once

#include <filesystem>

namespace veltrana {

// Found from the executable itself, not from the working directory:
// GetModuleFileName on Windows, _NSGetExecutablePath on macOS,
// /proc/self/exe elsewhere. `fallback` (argv[0], say) is used when the
// system cannot tell. Empty when neither works.
std::filesystem::path ProgramDirectory(const char* fallback = nullptr);

}  // namespace veltrana
