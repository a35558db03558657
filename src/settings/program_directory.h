// The folder that holds the running program, where its settings file lives.
#pragma once

#include <filesystem>

namespace veltrana {

// Found from the executable itself, not from the working directory:
// GetModuleFileName on Windows, _NSGetExecutablePath on macOS,
// /proc/self/exe elsewhere. Empty when the system cannot tell.
std::filesystem::path ProgramDirectory();

}  // namespace veltrana
