#include "page/address_format.h"

#include "base/first_occurrence.h"
#include "page/procedure_name.h"
#include "page/text_ops.h"

namespace veltrana {

namespace {

constexpr long long kSmallTypeAbove = 92;

bool IsLast(Int16 position, const std::string& text) {
  return static_cast<std::size_t>(position) == text.size();
}

// The bare address of a form with angle brackets: between the first "<"
// and the first ">" (from the start when there is no "<").
std::string_view CutAngleAddress(std::string_view text) {
  const Int16 start = ToInt16(InStr(1, text, '<') + 1);
  const Int16 end = InStr(1, text, '>');
  return Mid(text, start, ToInt16(end - start));
}

// The bare address of "address (comment)": the text before the first blank
// after any leading blanks (after a quoted nickname the text begins with
// one).
std::string_view CutCommentedAddress(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  const Int16 start =
      first == std::string_view::npos ? Int16{1} : ToInt16(static_cast<long long>(first) + 1);
  const Int16 blank = InStr(start, text, ' ');
  return Mid(text, start, ToInt16(blank - start));
}

}  // namespace

bool MultipleAddress(ConverterState& state, std::string& text) {
  const ProcedureName name(state, "MultipleAddress()");
  const Int16 comma = InStr(1, text, ',');
  if (comma > 0 && !IsLast(comma, text)) return true;
  const Int16 at = InStr(1, text, '@');
  if (at > 0 && !IsLast(at, text) && InStr(ToInt16(at + 1), text, '@') > 0) return true;
  const Int16 marker = InStr(1, text, state.eudbreak);
  return marker > 0 && !IsLast(marker, text) && Mid(text, ToInt16(marker + 1), 1) != state.eudbreak;
}

std::string& MakeMultipleAddress(ConverterState& state, std::string& text) {
  const ProcedureName name(state, "MakeMultipleAddress()");
  ReplaceEachFirstOccurrence(text, ',', state.eudbreak, AtTextEnd::kDrop);
  StripBrackets(state, text);
  ReplaceEachFirstOccurrence(text, state.eudbreak.at(0), state.br, AtTextEnd::kDrop);
  return text;
}

AddressForm AddressFormat(ConverterState& state, std::string& text) {
  const ProcedureName name(state, "AddressFormat()");
  const std::string_view first = Left(text, 1);
  if (first == state.quote) return AddressForm::kQuotedNameFirst;
  if (first == "<") {
    return InStr(1, text, '(') > 0 ? AddressForm::kAngleThenComment : AddressForm::kAngleAlone;
  }
  if (InStr(1, text, '<') > 0) return AddressForm::kNameThenAngle;
  if (InStr(1, text, '(') > 0) return AddressForm::kAddressThenComment;
  if (InStr(1, text, '@') > 0) return AddressForm::kBareAddress;
  return AddressForm::kNone;
}

void ExtractEmailAddress(ConverterState& state) {
  const ProcedureName name(state, "ExtractEmailAddress()");
  std::string& address = state.emailaddress;
  state.addrformat = AddressFormat(state, address);
  switch (state.addrformat) {
    case AddressForm::kNameThenAngle:
    case AddressForm::kQuotedNameFirst:
    case AddressForm::kAngleThenComment:
    case AddressForm::kAngleAlone: address.assign(CutAngleAddress(address)); break;
    case AddressForm::kAddressThenComment: address.assign(CutCommentedAddress(address)); break;
    case AddressForm::kBareAddress:
    case AddressForm::kNone: break;
  }
  if (!address.empty() && address.back() == ',') address.pop_back();
  if (state.addrformat != AddressForm::kNone) {
    std::string link;
    link.reserve(2 * address.size() + 32);
    link.append("<a href=").append(state.quote).append("mailto:").append(address);
    link.append(state.quote).append(">").append(address).append("</a>");
    address.swap(link);
  }
  if (static_cast<long long>(address.size()) > kSmallTypeAbove) {
    address.insert(0, "<font size=small>").append("</font>");
  }
}

}  // namespace veltrana
