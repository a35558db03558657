#include "base/first_occurrence.h"

#include "base/failure.h"

namespace veltrana {

namespace {

constexpr long long kMaxPosition = 32767;

}  // namespace

void ReplaceEachFirstOccurrence(std::string& text, char target, std::string_view replacement,
                                AtTextEnd at_end) {
  const long long growth = static_cast<long long>(replacement.size()) - 1;
  std::size_t q = text.find(target);
  if (q == std::string::npos) return;
  // The rewritten text goes to a buffer that is swapped with the text and
  // kept, so that rewriting row after row allocates nothing.
  static thread_local std::string out;
  out.clear();
  std::size_t done = 0;  // characters of the original text already handled
  long long visited = 0;
  for (; q != std::string::npos; q = text.find(target, q + 1)) {
    const long long position = static_cast<long long>(q) + 1 + visited * growth;
    const bool drop = at_end == AtTextEnd::kDrop && q + 1 == text.size();
    const bool fits = drop ? position <= kMaxPosition : position + 1 <= kMaxPosition;
    if (!fits) {
      out.append(text, done, std::string::npos);
      text.swap(out);
      throw Failure(kOverflow);
    }
    out.append(text, done, q - done);
    if (!drop) out.append(replacement);
    done = q + 1;
    ++visited;
  }
  out.append(text, done, std::string::npos);
  text.swap(out);
}

}  // namespace veltrana
