// Several operations rewrite a text with a loop of the form "as long as the
// text holds X, replace its first X" (searching from the first character
// every time). Done literally that is quadratic; this does the same in one
// pass, with the same result and the same 16-bit position failures.
#pragma once

#include <string>
#include <string_view>

namespace veltrana {

// What the loop does with an occurrence that is the text's last character.
enum class AtTextEnd {
  kReplace,  // replace it like any other
  kDrop,     // remove it without a replacement
};

// Rewrites `text` in place as that loop would. `replacement` must not hold
// `target`, so every occurrence is visited once, in order.
//
// The position p of each occurrence is taken in the text as rewritten so
// far, and is a 16-bit value: the loop fails with code 6 when p passes
// 32,767, or when a replaced occurrence lies at 32,767 (the position after
// it is computed too). On failure `text` holds what the loop had rewritten
// until then, as the in-place loop would leave it.
void ReplaceEachFirstOccurrence(std::string& text, char target, std::string_view replacement,
                                AtTextEnd at_end);

}  // namespace veltrana
