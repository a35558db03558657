#include "core/int16.h"

#include <algorithm>
#include <limits>

#include "core/failure.h"

namespace veltrana {

namespace {

Int16 PositionOf(std::size_t found) {
  if (found == std::string_view::npos) return 0;
  return ToInt16(static_cast<long long>(found) + 1);
}

std::string_view Tail(std::string_view text, long long start) {
  if (start < 1) throw Failure(kInvalidArgument);
  const auto offset = static_cast<unsigned long long>(start - 1);
  if (offset >= text.size()) return {};
  return text.substr(static_cast<std::size_t>(offset));
}

}  // namespace

Int16 ToInt16(long long value) {
  if (value < std::numeric_limits<Int16>::min() || value > std::numeric_limits<Int16>::max()) {
    throw Failure(kOverflow);
  }
  return static_cast<Int16>(value);
}

Int16 InStr(long long start, std::string_view text, char what) {
  if (start < 1) throw Failure(kInvalidArgument);
  const auto offset = static_cast<unsigned long long>(start - 1);
  if (offset >= text.size()) return 0;
  return PositionOf(text.find(what, static_cast<std::size_t>(offset)));
}

Int16 InStr(long long start, std::string_view text, std::string_view what) {
  if (start < 1) throw Failure(kInvalidArgument);
  const auto offset = static_cast<unsigned long long>(start - 1);
  if (offset > text.size()) return 0;
  return PositionOf(text.find(what, static_cast<std::size_t>(offset)));
}

std::string Mid(std::string_view text, long long start, long long length) {
  if (length < 0) throw Failure(kInvalidArgument);
  const std::string_view tail = Tail(text, start);
  return std::string(tail.substr(0, static_cast<std::size_t>(std::min<unsigned long long>(
                                        static_cast<unsigned long long>(length), tail.size()))));
}

std::string Mid(std::string_view text, long long start) {
  return std::string(Tail(text, start));
}

std::string Left(std::string_view text, long long length) {
  return Mid(text, 1, length);
}

}  // namespace veltrana
