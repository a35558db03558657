// Counts, positions and lengths in text, as the program keeps them: 16-bit
// signed integers, and the text operations that take and give them (InStr,
// Mid, Left).
//
// Counts, positions and lengths of the program are 16-bit signed integers:
// a value past 32,767 is an overflow (code 6), and a text operation asked
// for a negative number of characters is an invalid argument (code 5).
// Positions in a text are 1-based; 0 means "not found".
//
// These run for every field of every row, so they are inline; the failures
// are thrown out of line.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string_view>

namespace veltrana {

using Int16 = std::int16_t;

[[noreturn]] void ThrowOverflow();         // code 6
[[noreturn]] void ThrowInvalidArgument();  // code 5

// `value` as a 16-bit integer; code 6 when it does not fit.
inline Int16 ToInt16(long long value) {
  if (value < INT16_MIN || value > INT16_MAX) ThrowOverflow();
  return static_cast<Int16>(value);
}

namespace int16_detail {

inline Int16 PositionOf(std::size_t found) {
  if (found == std::string_view::npos) return 0;
  return ToInt16(static_cast<long long>(found) + 1);
}

// The 0-based offset of the 1-based position `start`; code 5 below 1.
inline std::size_t Offset(long long start) {
  if (start < 1) ThrowInvalidArgument();
  return static_cast<std::size_t>(start - 1);
}

inline std::string_view Tail(std::string_view text, long long start) {
  const std::size_t offset = Offset(start);
  return offset >= text.size() ? std::string_view() : text.substr(offset);
}

}  // namespace int16_detail

// The 1-based position of the first `what` in `text` at or after position
// `start`, or 0 when there is none (also when `start` lies past the end).
// Code 6 when the position found does not fit 16 bits.
inline Int16 InStr(long long start, std::string_view text, char what) {
  const std::size_t offset = int16_detail::Offset(start);
  if (offset >= text.size()) return 0;
  return int16_detail::PositionOf(text.find(what, offset));
}
inline Int16 InStr(long long start, std::string_view text, std::string_view what) {
  const std::size_t offset = int16_detail::Offset(start);
  if (offset > text.size()) return 0;
  return int16_detail::PositionOf(text.find(what, offset));
}

// `length` characters of `text` from the 1-based position `start` (fewer at
// the end of the text). Code 5 for a negative length or a start below 1.
// The result is a view into `text`.
inline std::string_view Mid(std::string_view text, long long start, long long length) {
  if (length < 0) ThrowInvalidArgument();
  const std::string_view tail = int16_detail::Tail(text, start);
  return tail.substr(0, std::min(static_cast<std::size_t>(length), tail.size()));
}
// Everything from the 1-based position `start` to the end.
inline std::string_view Mid(std::string_view text, long long start) {
  return int16_detail::Tail(text, start);
}
// The first `length` characters; code 5 for a negative length.
inline std::string_view Left(std::string_view text, long long length) {
  return Mid(text, 1, length);
}

}  // namespace veltrana
