// Numbers in status texts, the page and the error report are written with
// one leading blank when they are 0 or more (the sign position), so
// "Done. " followed by 12 reads "Done.  12".
#pragma once

#include <string>

namespace veltrana {

inline std::string NumberText(long long value) {
  return value >= 0 ? " " + std::to_string(value) : std::to_string(value);
}

}  // namespace veltrana
