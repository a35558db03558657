#include "base/file_names.h"

#include <system_error>

#include "base/case_fold.h"
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

std::string StripPath(std::string_view path) {
  const std::size_t last = path.find_last_of("\\/");
  return std::string(last == std::string_view::npos ? path : path.substr(last + 1));
}

std::string BookTitle(std::string_view addressbook) {
  std::string_view title = addressbook;
  if (title.size() >= 4 && FoldedCopy(title.substr(title.size() - 4)) == ".txt") {
    title.remove_suffix(4);
  }
  std::string stripped = StripPath(title);
  if (FoldedCopy(stripped) == "nndbase") return "Eudora Nicknames";
  return stripped;
}

}  // namespace veltrana
