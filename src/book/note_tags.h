// The note text of a nickname, taken apart for the export: every tag
// ("<" keyword ":" value ">") and every piece of free text around them, in
// the order written. Nothing is dropped: text before, between and after the
// tags is free text, and a tag without its ">" runs to the end of the text.
//
// A keyword is ASCII letters, digits, "-" and "_", written straight after
// the "<" and followed by ":". "<not this>" is free text, and so is a link
// written as "<http://...>" (a value that begins with "//").
#pragma once

#include <string_view>
#include <vector>

namespace veltrana {

// Views into the note text, which must outlive them.
struct NotePart {
  bool is_tag = false;
  std::string_view keyword;  // for a tag
  std::string_view text;     // the tag's value, or the free text; markers kept
};

// The parts of `text` into `parts` (emptied first), whose room is reused.
void ParseNoteText(std::string_view text, std::vector<NotePart>& parts);

}  // namespace veltrana
