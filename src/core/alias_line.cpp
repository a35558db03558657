#include "core/alias_line.h"

namespace veltrana {

namespace {

bool IsQuotedAt(std::string_view line, long long position, std::string_view quote) {
  return Mid(line, position, 1) == quote;
}

}  // namespace

Int16 NicknameStart(std::string_view alias_line, std::string_view quote) {
  return IsQuotedAt(alias_line, 7, quote) ? 8 : 7;
}

Int16 NicknameEnd(std::string_view alias_line, std::string_view quote) {
  const std::string_view separator = IsQuotedAt(alias_line, 7, quote) ? quote : " ";
  return InStr(8, alias_line, separator);
}

void ExtractNickname(ConverterState& state) {
  state.proc = "ExtractNickname()";
  const Int16 start = NicknameStart(state.a, state.quote);
  const Int16 end = ToInt16(NicknameEnd(state.a, state.quote) - 1);
  const Int16 length = ToInt16(end - start + 1);
  state.nickname = Mid(state.a, start, length);
}

std::string CutAddressText(std::string_view alias_line, std::string_view quote) {
  const Int16 separator = NicknameEnd(alias_line, quote);
  return Mid(alias_line, ToInt16(separator + 1));
}

std::string CutNoteText(std::string_view note_line, std::string_view quote) {
  const std::string_view separator = IsQuotedAt(note_line, 6, quote) ? quote : " ";
  const Int16 position = InStr(7, note_line, separator);
  return Mid(note_line, ToInt16(position + 1));
}

}  // namespace veltrana
