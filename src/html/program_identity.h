// Who made the program, as the page's credit lines name it.
#pragma once

namespace veltrana {

inline constexpr const char* kAuthorHomePage = "http://www.veltrana.example/";
inline constexpr const char* kProgramPage = "http://www.veltrana.example/veltrana/";
inline constexpr const char* kAuthorshipNotice = "Copyright 2026 The Veltrana Developers";
inline constexpr const char* kAuthorEmail = "veltrana@veltrana.example";

}  // namespace veltrana
