// The folder that holds the running program, where its settings file lives.
#pragma once

#include <filesystem>
#include <string_view>

namespace veltrana {

// Found from the executable itself, not from the working directory:
// GetModuleFileName on Windows, _NSGetExecutablePath on macOS,
// /proc/self/exe elsewhere. Where the system cannot tell, from how the
// program was started, `argument_zero` (argv[0]): its folder, or the folder
// on PATH that holds a program of that name. Empty when neither tells.
[[nodiscard]] std::filesystem::path ProgramDirectory(const char* argument_zero = nullptr);

// The folder of the program started as `argument_zero`, found as a POSIX
// shell finds it: a name with a slash from the working directory, a bare
// name in the folders of `search_path` (the PATH variable, folders
// separated by colons). Empty when not found.
[[nodiscard]] std::filesystem::path DirectoryOfCommand(std::string_view argument_zero,
                                                       std::string_view search_path);

}  // namespace veltrana
