#include "book/note_tags.h"

namespace veltrana {

namespace {

bool IsKeywordCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_';
}

// The length of the keyword of a tag that opens at `open` (the "<"), up to
// its ":"; 0 when no tag opens there.
std::size_t KeywordLength(std::string_view text, std::size_t open) {
  std::size_t end = open + 1;
  while (end < text.size() && IsKeywordCharacter(text[end])) ++end;
  if (end == open + 1 || end >= text.size() || text[end] != ':') return 0;
  if (text.substr(end + 1, 2) == "//") return 0;  // a link such as <http://host/>
  return end - open - 1;
}

// Free text always follows a tag or opens the note: two pieces never meet.
void AddFreeText(std::vector<NotePart>& parts, std::string_view text) {
  if (!text.empty()) parts.push_back({false, {}, text});
}

}  // namespace

void ParseNoteText(std::string_view text, std::vector<NotePart>& parts) {
  parts.clear();
  std::size_t free_start = 0;
  std::size_t i = text.find('<');
  while (i != std::string_view::npos) {
    const std::size_t keyword = KeywordLength(text, i);
    if (keyword == 0) {
      i = text.find('<', i + 1);
      continue;
    }
    AddFreeText(parts, text.substr(free_start, i - free_start));
    const std::size_t value_start = i + 1 + keyword + 1;
    const std::size_t close = text.find('>', value_start);
    const std::size_t value_end = close == std::string_view::npos ? text.size() : close;
    parts.push_back(
        {true, text.substr(i + 1, keyword), text.substr(value_start, value_end - value_start)});
    free_start = close == std::string_view::npos ? text.size() : close + 1;
    i = text.find('<', free_start);
  }
  AddFreeText(parts, text.substr(free_start));
}

}  // namespace veltrana
