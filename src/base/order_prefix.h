// Sorting many short texts fast: the first eight bytes of a text packed into
// one number that orders as the text does. Two texts whose numbers differ
// compare as the numbers do; equal numbers need the whole comparison (the
// texts may differ later, or one may be a prefix of the other).
#pragma once

#include <cstdint>
#include <string_view>

namespace veltrana {

// `map` turns each byte into the value it is compared by (for example the
// folded letter).
template <typename ByteMap>
std::uint64_t OrderPrefix(std::string_view text, ByteMap map) {
  std::uint64_t prefix = 0;
  for (std::size_t i = 0; i < 8; ++i) {
    prefix <<= 8;
    if (i < text.size()) prefix |= static_cast<unsigned char>(map(text[i]));
  }
  return prefix;
}

}  // namespace veltrana
