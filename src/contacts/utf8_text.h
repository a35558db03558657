// UTF-8 text as the export handles it: letter case ignored the way the
// program ignores it everywhere, cuts that never split a character, and
// blanks. The book's line-break marker (base/nickname_file.h) is kept
// through the conversion to UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace veltrana {

// `text` with upper-case ASCII and Latin-1 letters (U+00C0 to U+00DE, except
// the multiplication sign) folded to lower case, as the page folds the bytes
// of a book in the Windows code page; every other character is itself.
std::string FoldedUtf8(std::string_view text);
// The same into `folded`, whose room is reused: for folding one key after
// another without a new string each time.
void FoldUtf8Into(std::string_view text, std::string& folded);

// `text` with upper-case ASCII letters folded to lower case, every other
// byte itself: the form in which the export compares addresses.
std::string AsciiLower(std::string_view text);
// Whether `a` and `b` have the same AsciiLower form, without making it.
bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b);

// How many bytes of `text` from `start` fit in `limit` bytes without cutting
// a character: `limit`, or less when a character would be split. At least
// one character is taken when `limit` is at least 4 (a whole character).
std::size_t Utf8CutLength(std::string_view text, std::size_t start, std::size_t limit);

// `text` without blanks, tabs and line breaks at either end.
std::string_view TrimSpace(std::string_view text);

// Blanks, tabs and line breaks inside `text` run together into one blank,
// and none at either end.
std::string CollapseSpace(std::string_view text);

}  // namespace veltrana
