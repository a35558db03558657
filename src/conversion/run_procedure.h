// The name the conversion run stores in `proc`, on entry and again after
// every operation it calls, so that the error report names the run when one
// of its own steps fails. The export runs under the same name.
#pragma once

namespace veltrana {

inline constexpr const char* kRunProc = "cmdConvert_Click()";

}  // namespace veltrana
