#include "conversion/entry_row.h"

#include "base/set_text.h"
#include "conversion/alias_line.h"
#include "conversion/run_procedure.h"
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
  SetText(state.a, alias_line);
  const Int16 separator = ExtractNickname(state);
  state.proc = kRunProc;
  SetText(state.emailaddress, AddressTextAfter(state.a, separator));
  state.proc = kRunProc;

  if (MultipleAddress(state, state.emailaddress)) {
    MakeMultipleAddress(state, state.emailaddress);
    state.proc = kRunProc;
    state.emailaddress.insert(0, "<font size=small>").append("</font>");
  } else {
    ExtractEmailAddress(state);
    state.proc = kRunProc;
  }

  // The line after the alias line is the entry's note line if it is one,
  // whichever nickname it names.
  if (next_line) SetText(state.a, *next_line);
  if (IsNoteLine(state.a)) {
    SetText(state.noteline, CutNoteText(state.a, state.quote));
    ReadNoteLine(state);
    state.proc = kRunProc;
  } else {
    ClearRecipientFields(state);
  }

  WriteHTMLLine(state, page);
  state.proc = kRunProc;
}

}  // namespace veltrana
