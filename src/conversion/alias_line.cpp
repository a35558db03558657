#include "conversion/alias_line.h"

#include <algorithm>

#include "page/procedure_name.h"

namespace veltrana {

namespace {

// The 1-based positions of the first character after a line's keyword, and
// of the one after that.
constexpr long long kAfterAlias = kAliasKeyword.size() + 1;
constexpr long long kAfterNote = kNoteKeyword.size() + 1;

// Whether the character at 1-based `position` is the quote (the quote is
// one character; a line too short has none there).
bool IsQuotedAt(std::string_view line, std::size_t position, std::string_view quote) {
  return line.substr(std::min(position - 1, line.size()), 1) == quote;
}

Int16 SeparatorPosition(std::string_view alias_line, std::string_view quote) {
  const std::string_view separator = IsQuotedAt(alias_line, kAfterAlias, quote) ? quote : " ";
  return InStr(kAfterAlias + 1, alias_line, separator);
}

}  // namespace

NicknameCut CutNickname(std::string_view alias_line, std::string_view quote) {
  const Int16 start = IsQuotedAt(alias_line, kAfterAlias, quote) ? kAfterAlias + 1 : kAfterAlias;
  const Int16 separator = SeparatorPosition(alias_line, quote);
  const Int16 end = ToInt16(separator - 1);
  const Int16 length = ToInt16(end - start + 1);
  return {Mid(alias_line, start, length), separator};
}

Int16 ExtractNickname(ConverterState& state) {
  const ProcedureName name(state, kExtractNicknameProc);
  const NicknameCut cut = CutNickname(state.a, state.quote);
  state.nickname.assign(cut.nickname);
  return cut.separator;
}

std::string_view AddressTextAfter(std::string_view alias_line, Int16 separator) {
  return Mid(alias_line, ToInt16(separator + 1));
}

std::string_view CutAddressText(std::string_view alias_line, std::string_view quote) {
  return AddressTextAfter(alias_line, SeparatorPosition(alias_line, quote));
}

std::string_view CutNoteText(std::string_view note_line, std::string_view quote) {
  const std::string_view separator = IsQuotedAt(note_line, kAfterNote, quote) ? quote : " ";
  const Int16 position = InStr(kAfterNote + 1, note_line, separator);
  return Mid(note_line, ToInt16(position + 1));
}

}  // namespace veltrana
