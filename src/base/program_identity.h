// Who the program is: its title (window caption, message-box title, the
// page's credit line), its version, fixed when it is built (the build sets
// the numbers from the project version, so the page and --version agree),
// who made it, as the page's credit lines name them, and the name of its
// settings file.
#pragma once

#ifndef VELTRANA_VERSION_MAJOR
#error "the build must define VELTRANA_VERSION_MAJOR and VELTRANA_VERSION_MINOR"
#endif

namespace veltrana {

inline constexpr const char* kAppTitle = "Veltrana";
inline constexpr int kVersionMajor = VELTRANA_VERSION_MAJOR;
inline constexpr int kVersionMinor = VELTRANA_VERSION_MINOR;

inline constexpr const char* kAuthorHomePage = "http://www.veltrana.example/";
inline constexpr const char* kProgramPage = "http://www.veltrana.example/veltrana/";
inline constexpr const char* kAuthorshipNotice = "Copyright 2026 The Veltrana Developers";
inline constexpr const char* kAuthorEmail = "veltrana@veltrana.example";

// The settings file's name, in the folder the program keeps its settings in.
inline constexpr const char* kSettingsFileName = "veltra.ini";

}  // namespace veltrana
