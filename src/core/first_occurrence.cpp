#include "core/first_occurrence.h"

#include "core/failure.h"

namespace veltrana {

namespace {

constexpr long long kMaxPosition = 32767;

}  // namespace

void ReplaceEachFirstOccurrence(std::string& text, char target, std::string_view replacement,
                                AtTextEnd at_end) {
  const long long growth = static_cast<long long>(replacement.size()) - 1;
  std::string out;
  out.reserve(text.size());
  std::size_t done = 0;  // characters of the original text already handled
  long long visited = 0;
  for (std::size_t q = text.find(target); q != std::string::npos; q = text.find(target, q + 1)) {
    const long long position = static_cast<long long>(q) + 1 + visited * growth;
    const bool drop = at_end == AtTextEnd::kDrop && q + 1 == text.size();
    const bool fits = drop ? position <= kMaxPosition : position + 1 <= kMaxPosition;
    if (!fits) {
      out.append(text, done, std::string::npos);
      text = std::move(out);
      throw Failure(kOverflow);
    }
    out.append(text, done, q - done);
    if (!drop) out.append(replacement);
    done = q + 1;
    ++visited;
  }
  if (visited == 0) return;
  out.append(text, done, std::string::npos);
  text = std::move(out);
}

}  // namespace veltrana
