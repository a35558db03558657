#include "conversion/entry_row.h"

#include "conversion/alias_line.h"
#include "page/address_format.h"
#include "page/note_line.h"
#include "page/page_writer.h"

namespace veltrana {

namespace {

void ClearRecipientFields(ConverterState& state) {
  state.recipientname.clear();
  state.recipientaddress.clear();
  state.recipientphone.clear();
  state.recipientfax.clear();
  state.recipientnote.clear();
}

}  // namespace

void WriteEntryRow(ConverterState& state, ReplacingFile& page, std::string_view alias_line,
                   std::optional<std::string_view> next_line) {
  state.a.assign(alias_line);
  const Int16 separator = ExtractNickname(state);
  state.emailaddress.assign(AddressTextAfter(state.a, separator));

  if (MultipleAddress(state, state.emailaddress)) {
    MakeMultipleAddress(state, state.emailaddress);
    state.emailaddress.insert(0, "<font size=small>").append("</font>");
  } else {
    ExtractEmailAddress(state);
  }

  // The line after the alias line is the entry's note line if it is one,
  // whichever nickname it names.
  if (next_line) state.a.assign(*next_line);
  if (IsNoteLine(state.a)) {
    state.noteline.assign(CutNoteText(state.a, state.quote));
    ReadNoteLine(state);
  } else {
    ClearRecipientFields(state);
  }

  WriteHTMLLine(state, page);
}

}  // namespace veltrana
