// The program's code module: the start-up and the viewer launch.
#pragma once

#include <filesystem>

namespace veltrana::Module1 {

// How the program was started (argv[0]), for finding its folder where the
// system cannot tell.
inline const char* argument_zero = nullptr;

// Creates the main window (which runs its load step) and shows it. The
// program runs as long as the window is open.
void Main();

// Opens `htmlfile`, the page of the window's last run, with the system's
// default handler for it; the result is not examined and nothing is shown
// when nothing can open it.
void LaunchViewer(const std::filesystem::path& htmlfile);

}  // namespace veltrana::Module1
