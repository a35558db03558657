#include "core/entry_row.h"

#include "core/alias_line.h"
#include "core/note_line.h"
#include "html/address_format.h"
#include "html/page_writer.h"

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
  ExtractNickname(state);
  state.proc = kRunProc;
  state.emailaddress = CutAddressText(state.a, state.quote);
  state.proc = kRunProc;

  if (MultipleAddress(state, state.emailaddress)) {
    MakeMultipleAddress(state, state.emailaddress);
    state.proc = kRunProc;
    state.emailaddress = "<font size=small>" + state.emailaddress + "</font>";
  } else {
    ExtractEmailAddress(state);
    state.proc = kRunProc;
  }

  // The line after the alias line is the entry's note line if it is one,
  // whichever nickname it names.
  if (next_line) state.a.assign(*next_line);
  if (IsNoteLine(state.a)) {
    state.noteline = CutNoteText(state.a, state.quote);
    ReadNoteLine(state);
    state.proc = kRunProc;
  } else {
    ClearRecipientFields(state);
  }

  WriteHTMLLine(state, page);
  state.proc = kRunProc;
}

}  // namespace veltrana
