#include "base/file_names.h"

#include <system_error>

#include "base/failure.h"
#include "base/text_positions.h"

namespace veltrana {

std::string WithEnding(const std::string& name, std::string_view ending) {
  std::string derived(Left(name, static_cast<long long>(name.size()) - 4));
  derived.append(ending);
  return derived;
}

std::filesystem::path WithEnding(const std::filesystem::path& name, std::string_view ending) {
  const std::filesystem::path::string_type& native = name.native();
  if (native.size() < 4) throw Failure(kInvalidArgument);
  std::filesystem::path derived = native.substr(0, native.size() - 4);
  derived += std::string(ending);
  return derived;
}

bool NamesSameFile(const std::filesystem::path& first, const std::filesystem::path& second) {
  if (first == second) return true;
  std::error_code unknown;
  return std::filesystem::equivalent(first, second, unknown) && !unknown;
}

}  // namespace veltrana
