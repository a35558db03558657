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

// std::fopen by path; `mode` is one of fopen's modes. Null on failure, with
// errno telling why.
std::FILE* OpenCFile(const std::filesystem::path& path, const char* mode);

}  // namespace veltrana
