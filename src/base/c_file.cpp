#include "base/c_file.h"

#include <string>

namespace veltrana {

CFile OpenCFile(const std::filesystem::path& path, const char* mode) {
#if defined(_WIN32)
  const std::string narrow(mode);
  const std::wstring wide(narrow.begin(), narrow.end());  // modes are ASCII
  return CFile(_wfopen(path.c_str(), wide.c_str()));
#else
  return CFile(std::fopen(path.c_str(), mode));
#endif
}

}  // namespace veltrana
