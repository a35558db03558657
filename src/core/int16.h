// Counts, positions and lengths of the program are 16-bit signed integers:
// a value past 32,767 is an overflow (code 6), and a text operation asked
// for a negative number of characters is an invalid argument (code 5).
// Positions in a text are 1-based; 0 means "not found".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace veltrana {

using Int16 = std::int16_t;

// `value` as a 16-bit integer; code 6 when it does not fit.
Int16 ToInt16(long long value);

// The 1-based position of the first `what` in `text` at or after position
// `start`, or 0 when there is none (also when `start` lies past the end).
// Code 6 when the position found does not fit 16 bits.
Int16 InStr(long long start, std::string_view text, char what);
Int16 InStr(long long start, std::string_view text, std::string_view what);

// `length` characters of `text` from the 1-based position `start` (fewer at
// the end of the text). Code 5 for a negative length or a start below 1.
std::string Mid(std::string_view text, long long start, long long length);
// Everything from the 1-based position `start` to the end.
std::string Mid(std::string_view text, long long start);
// The first `length` characters; code 5 for a negative length.
std::string Left(std::string_view text, long long length);

// True when `text` begins with `prefix`, compared exactly.
inline bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

}  // namespace veltrana
