#include "page/note_line.h"

#include <array>
#include <string_view>

#include "page/procedure_name.h"
#include "page/text_ops.h"

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

// Where each tag's keyword first occurs (0-based, npos when it does not),
// found in one walk over the note: every keyword begins with "<".
std::array<std::size_t, kTags.size()> FirstKeywords(std::string_view note) {
  std::array<std::size_t, kTags.size()> first;
  first.fill(std::string_view::npos);
  std::size_t missing = kTags.size();
  for (std::size_t at = note.find('<'); at != std::string_view::npos && missing > 0;
       at = note.find('<', at + 1)) {
    for (std::size_t i = 0; i < kTags.size(); ++i) {
      if (first[i] == std::string_view::npos &&
          note.substr(at, kTags[i].keyword.size()) == kTags[i].keyword) {
        first[i] = at;
        --missing;
      }
    }
  }
  return first;
}

// Reads one tag, whose keyword first occurs at 0-based `found`, into its
// field; returns the position of the ">" that closes it, or 0 when the note
// has no such tag.
Int16 ReadTag(ConverterState& state, const Tag& tag, std::size_t found) {
  if (found == std::string_view::npos) return 0;
  const Int16 keyword = ToInt16(static_cast<long long>(found) + 1);
  const Int16 start = ToInt16(keyword + static_cast<long long>(tag.keyword.size()));
  const Int16 end = InStr(start, state.noteline, '>');
  std::string& field = state.*tag.field;
  field.assign(Mid(state.noteline, start, ToInt16(end - start)));
  if (tag.replace_markers) {
    ReplaceChr3(state, field);
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
  const ProcedureName name(state, kProc);
  for (const Tag& tag : kTags) (state.*tag.field).clear();
  state.recipientnote.clear();

  const auto first = FirstKeywords(state.noteline);
  std::array<Int16, 4> ends{};
  for (std::size_t i = 0; i < kTags.size(); ++i) ends[i] = ReadTag(state, kTags[i], first[i]);

  const Int16 start = FreeTextStart(state.noteline, ends);
  if (static_cast<long long>(state.noteline.size()) > start) {
    state.recipientnote.assign(Mid(state.noteline, start));
    StripBrackets(state, state.recipientnote);
    ReplaceChr3(state, state.recipientnote);
  } else {
    state.recipientnote = state.noteline;
  }
}

}  // namespace veltrana
