// The program's version, fixed when it is built (the build sets the numbers
// from the project version, so the page credit line and --version agree).
#pragma once

#ifndef VELTRANA_VERSION_MAJOR
#error "the build must define VELTRANA_VERSION_MAJOR and VELTRANA_VERSION_MINOR"
#endif

namespace veltrana {

inline constexpr int kVersionMajor = VELTRANA_VERSION_MAJOR;
inline constexpr int kVersionMinor = VELTRANA_VERSION_MINOR;

}  // namespace veltrana
