#include "core/note_line.h"

#include <array>
#include <string_view>

#include "core/text_ops.h"

namespace veltrana {

namespace {

constexpr const char* kProc = "ReadNoteLine()";

struct Tag {
  std::string_view keyword;
  std::string ConverterState::*field;
  bool replace_markers;
};

// In the order the tags are looked for.
constexpr std::array<Tag, 4> kTags = {{
    {"<fax:", &ConverterState::recipientfax, false},
    {"<phone:", &ConverterState::recipientphone, false},
    {"<address:", &ConverterState::recipientaddress, true},
    {"<name:", &ConverterState::recipientname, false},
}};

// Reads one tag into its field; returns the position of the ">" that closes
// it, or 0 when the note has no such tag.
Int16 ReadTag(ConverterState& state, const Tag& tag) {
  const Int16 keyword = InStr(1, state.noteline, tag.keyword);
  if (keyword == 0) return 0;
  const Int16 start = ToInt16(keyword + static_cast<long long>(tag.keyword.size()));
  const Int16 end = InStr(start, state.noteline, '>');
  std::string& field = state.*tag.field;
  field = Mid(state.noteline, start, ToInt16(end - start));
  if (tag.replace_markers) {
    ReplaceChr3(state, field);
    state.proc = kProc;
  }
  return end;
}

// Where the free text starts: one past the tag that closes strictly last,
// or the note's length when no tag does.
Int16 FreeTextStart(const std::string& note, const std::array<Int16, 4>& ends) {
  Int16 start = ToInt16(static_cast<long long>(note.size()));
  for (std::size_t i = 0; i < ends.size(); ++i) {
    bool last = true;
    for (std::size_t j = 0; j < ends.size(); ++j) {
      if (j != i && ends[j] >= ends[i]) last = false;
    }
    if (last) start = ToInt16(ends[i] + 1);
  }
  return start;
}

}  // namespace

void ReadNoteLine(ConverterState& state) {
  state.proc = kProc;
  for (const Tag& tag : kTags) (state.*tag.field).clear();
  state.recipientnote.clear();

  std::array<Int16, 4> ends{};
  for (std::size_t i = 0; i < kTags.size(); ++i) ends[i] = ReadTag(state, kTags[i]);

  const Int16 start = FreeTextStart(state.noteline, ends);
  if (static_cast<long long>(state.noteline.size()) > start) {
    state.recipientnote = Mid(state.noteline, start);
    StripBrackets(state, state.recipientnote);
    ReplaceChr3(state, state.recipientnote);
    state.proc = kProc;
  } else {
    state.recipientnote = state.noteline;
  }
}

}  // namespace veltrana
