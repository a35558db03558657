// Leftovers of killed runs: files of the temporary form the replacing file
// gives the file it writes, which no live run holds.
#pragma once

#include <filesystem>
#include <string>

#include "base/replacing_file.h"

namespace veltrana::test {

// A temporary name of `target`'s that no run holds: the form a live run
// uses, with `random` (eight hex digits) for its random part.
inline std::filesystem::path LeftoverName(const std::filesystem::path& target,
                                          const std::string& random) {
  ReplacingFile probe;
  probe.Open(target);
  const std::filesystem::path live = probe.temporary_path();
  probe.Abandon();
  const std::string name = live.filename().string();  // ...-RANDOM.part
  return live.parent_path() / (name.substr(0, name.size() - 13) + random + ".part");
}

}  // namespace veltrana::test
