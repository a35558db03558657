// The program's code module: the start-up and the viewer launch.
#pragma once

#include <filesystem>

#include "win32/window_dialogs.h"

namespace veltrana::win32::Module1 {

// Creates the main window (which runs its load step) and shows it; then
// runs the program's message loop until the window is closed. Returns the
// program's exit status.
int Main();

// Opens `htmlfile`, the page of the window's last run, with the system's
// default handler for it, through the window's `dialogs`; the result is not
// examined and nothing is shown when nothing can open it.
void LaunchViewer(WindowDialogs& dialogs, const std::filesystem::path& htmlfile);

}  // namespace veltrana::win32::Module1
