// The program's code module: the page path of the last run, the start-up
// and the viewer launch.
#pragma once

#include <filesystem>
#include <functional>

namespace veltrana::win32::Module1 {

// Full path of the page the last conversion run started.
inline std::filesystem::path htmlfile;

// Creates the main window (which runs its load step) and shows it; then
// runs the program's message loop until the window is closed. Returns the
// program's exit status.
int Main();

// Opens `htmlfile` with the system's default handler for it; the result is
// not examined and nothing is shown when nothing can open it.
void LaunchViewer();

// Where tests receive what LaunchViewer would open; the system's handler
// when empty.
inline std::function<void(const std::filesystem::path&)> document_opener;

}  // namespace veltrana::win32::Module1
