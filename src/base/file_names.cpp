#include "base/file_names.h"

#include <system_error>

#include "base/case_fold.h"
#include "base/failure.h"
#include "base/text_positions.h"

namespace veltrana {

namespace {

constexpr std::size_t kCutCharacters = 4;

// Where the last four characters of the file's own name (after the last
// separator) begin, counted in whole characters: UTF-8 sequences where the
// name is UTF-8 (on Windows, UTF-16 pairs), bytes otherwise. Code 5 when the
// file's own name is shorter, as for a name of one to three characters: the
// cut would reach into the folder's name.
template <typename Char>
std::size_t CutStart(std::basic_string_view<Char> name, std::basic_string_view<Char> separators) {
  const std::size_t last = name.find_last_of(separators);
  const std::size_t own = last == name.npos ? 0 : last + 1;
  const std::basic_string_view<Char> file = name.substr(own);
  bool whole_characters = true;
  if constexpr (sizeof(Char) == 1) {
    whole_characters =
        IsUtf8(std::string_view(reinterpret_cast<const char*>(file.data()), file.size()));
  }
  std::size_t start = file.size();
  for (std::size_t cut = 0; cut < kCutCharacters; ++cut) {
    if (start == 0) throw Failure(kInvalidArgument);
    --start;
    if (!whole_characters) continue;
    if constexpr (sizeof(Char) == 1) {
      while (start > 0 && (static_cast<unsigned char>(file[start]) & 0xC0) == 0x80) --start;
    } else {
      if (start > 0 && file[start] >= 0xDC00 && file[start] <= 0xDFFF &&
          file[start - 1] >= 0xD800 && file[start - 1] <= 0xDBFF) {
        --start;
      }
    }
  }
  return own + start;
}

#if defined(_WIN32)
constexpr std::string_view kSeparators = "\\/";
constexpr std::wstring_view kWideSeparators = L"\\/";
#else
constexpr std::string_view kSeparators = "/";
#endif

}  // namespace

bool IsUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto byte = static_cast<unsigned char>(text[i]);
    std::size_t follow = 0;
    unsigned min = 0;
    unsigned code = 0;
    if (byte < 0x80) {
      ++i;
      continue;
    } else if ((byte & 0xE0) == 0xC0) {
      follow = 1, min = 0x80, code = byte & 0x1Fu;
    } else if ((byte & 0xF0) == 0xE0) {
      follow = 2, min = 0x800, code = byte & 0x0Fu;
    } else if ((byte & 0xF8) == 0xF0) {
      follow = 3, min = 0x10000, code = byte & 0x07u;
    } else {
      return false;
    }
    if (text.size() - i <= follow) return false;
    for (std::size_t k = 1; k <= follow; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3Fu);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    i += follow + 1;
  }
  return true;
}

std::string WithEnding(const std::string& name, std::string_view ending) {
  // 16-bit lengths, as the name's text always had: code 6 past 32,767.
  static_cast<void>(Left(name, static_cast<long long>(name.size()) - 4));
#if defined(_WIN32)
  // The text is in the ANSI code page: a character is a byte.
  const std::size_t last = name.find_last_of(kSeparators);
  const std::size_t own = last == std::string::npos ? 0 : last + 1;
  if (name.size() - own < kCutCharacters) throw Failure(kInvalidArgument);
  std::string derived = name.substr(0, name.size() - kCutCharacters);
#else
  std::string derived = name.substr(0, CutStart<char>(name, kSeparators));
#endif
  derived.append(ending);
  return derived;
}

std::filesystem::path WithEnding(const std::filesystem::path& name, std::string_view ending) {
  const std::filesystem::path::string_type& native = name.native();
#if defined(_WIN32)
  std::filesystem::path derived = native.substr(0, CutStart<wchar_t>(native, kWideSeparators));
#else
  std::filesystem::path derived = native.substr(0, CutStart<char>(native, kSeparators));
#endif
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
