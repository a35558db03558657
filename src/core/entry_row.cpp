#include "core/entry_row.h"

#include "core/alias_line.h"
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

void WriteEntryRow(ConverterState& state, PageFile& page, std::string_view alias_line,
                   std::optional<std::string_view> next_line) {
  state.a.assign(alias_line);
  ExtractNickname(state);
  state.proc = kRunProc;
  state.emailaddress = CutAddressText(state.a, state.quote);
  state.proc = kRunProc;

  // The address text stays as cut until address formatting is in place.

  if (next_line) state.a.assign(*next_line);
  // Note lines are not read yet: every entry has empty recipient fields.
  ClearRecipientFields(state);

  WriteHTMLLine(state, page);
  state.proc = kRunProc;
}

}  // namespace veltrana
