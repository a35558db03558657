// Letter case as the program ignores it, wherever it does: the order of the
// work list, the ".txt" ending and the "nndbase" name of the book title, key
// names. Upper-case ASCII and Latin-1 letters (0xC0 to 0xDE, except the
// multiplication sign 0xD7) fold to lower case; every other byte is itself.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace veltrana {

// Each byte folded, looked up rather than worked out: folding runs over
// every nickname of a book and every key of a sort.
inline constexpr std::array<unsigned char, 256> kFoldedBytes = [] {
  std::array<unsigned char, 256> folded{};
  for (unsigned byte = 0; byte < folded.size(); ++byte) {
    const bool ascii_upper = byte >= 'A' && byte <= 'Z';
    const bool latin1_upper = byte >= 0xC0 && byte <= 0xDE && byte != 0xD7;
    folded[byte] = static_cast<unsigned char>((ascii_upper || latin1_upper) ? byte + 0x20 : byte);
  }
  return folded;
}();

inline constexpr unsigned char FoldCase(char c) {
  return kFoldedBytes[static_cast<unsigned char>(c)];
}

// Compares byte by byte after folding; a text that is a prefix of the other
// comes first. Negative, zero or positive.
int CompareIgnoringCase(std::string_view left, std::string_view right);

// `text` with every byte folded.
std::string FoldedCopy(std::string_view text);

}  // namespace veltrana
