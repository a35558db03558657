// C streams opened by path: the system's own name for the file reaches the
// system unchanged (the wide name on Windows, the bytes elsewhere).
#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>

namespace veltrana {

struct CFileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using CFile = std::unique_ptr<std::FILE, CFileCloser>;

// std::fopen by path; `mode` is one of fopen's modes. Empty on failure, with
// errno telling why. The stream is closed when the CFile goes; a caller
// that needs to know whether closing succeeded closes it itself:
// std::fclose(file.release()).
CFile OpenCFile(const std::filesystem::path& path, const char* mode);

}  // namespace veltrana
