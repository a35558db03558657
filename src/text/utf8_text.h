// UTF-8 text as the export handles it: letter case ignored the way the
// program ignores it everywhere, cuts that never split a character, and
// blanks. The book's line-break marker (base/nickname_file.h) is kept
// through the conversion to UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace veltrana {

// `text` with upper-case ASCII and Latin-1 letters (U+00C0 to U+00DE, except
// the multiplication sign) folded to lower case, as the page folds the bytes
// of a book in the Windows code page; every other character is itself. Into
// `folded`, whose room is reused: keys are folded one after another.
void FoldUtf8Into(std::string_view text, std::string& folded);

// Printable ASCII (0x20 to 0x7E), the most of any book.
[[nodiscard]] inline bool IsPlainAscii(char byte) {
  return byte >= 0x20 && byte < 0x7F;
}
// The length of the run of printable ASCII in `bytes` from `at`, found eight
// bytes at a time: for copying or passing over most of a text a run at once.
// A word holds only printable ASCII when no byte is below 0x20 and none
// above 0x7E (each test exact for the word as a whole).
[[nodiscard]] inline std::size_t PlainAsciiRun(std::string_view bytes, std::size_t at) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ULL, kHighBits = kOnes * 0x80;
  std::size_t end = at;
  while (bytes.size() - end >= 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, bytes.data() + end, 8);
    const std::uint64_t below_blank = (word - kOnes * 0x20) & ~word & kHighBits;
    const std::uint64_t above_tilde = ((word + kOnes * (127 - 0x7E)) | word) & kHighBits;
    if ((below_blank | above_tilde) != 0) break;
    end += 8;
  }
  while (end < bytes.size() && IsPlainAscii(bytes[end])) ++end;
  return end - at;
}

// `text` with upper-case ASCII letters folded to lower case, every other
// byte itself: the form in which the export compares addresses.
[[nodiscard]] std::string AsciiLower(std::string_view text);
// Whether `a` and `b` have the same AsciiLower form, without making it.
[[nodiscard]] bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b);

// Hash and equality of texts by their AsciiLower form, for sets and maps
// that take one of each such text (addresses, alias names).
struct FoldedHash {
  std::size_t operator()(std::string_view text) const {
    std::uint64_t hash = 0xcbf29ce484222325ULL;  // FNV-1a, 64 bits on every platform
    for (const char c : text) {
      const auto byte = static_cast<unsigned char>(c);
      hash = (hash ^ (byte >= 'A' && byte <= 'Z' ? byte + 0x20u : byte)) * 0x100000001b3ULL;
    }
    return static_cast<std::size_t>(hash);
  }
};
struct FoldedEqual {
  bool operator()(std::string_view a, std::string_view b) const {
    return EqualIgnoringAsciiCase(a, b);
  }
};

// How many bytes of `text` from `start` fit in `limit` bytes without cutting
// a character: `limit`, or less when a character would be split. At least
// one character is taken when `limit` is at least 4 (a whole character).
[[nodiscard]] std::size_t Utf8CutLength(std::string_view text, std::size_t start,
                                        std::size_t limit);

// `text` without blanks, tabs and line breaks at either end.
[[nodiscard]] std::string_view TrimSpace(std::string_view text);

// Blanks, tabs and line breaks inside `text` run together into one blank,
// and none at either end.
[[nodiscard]] std::string CollapseSpace(std::string_view text);

}  // namespace veltrana
