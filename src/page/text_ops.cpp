#include "page/text_ops.h"

#include "base/first_occurrence.h"
#include "page/procedure_name.h"

namespace veltrana {

std::string& ReplaceChr3(ConverterState& state, std::string& text) {
  const ProcedureName name(state, "ReplaceChr3()");
  ReplaceEachFirstOccurrence(text, state.eudbreak.at(0), state.br, AtTextEnd::kDrop);
  return text;
}

std::string& StripBrackets(ConverterState& state, std::string& text) {
  const ProcedureName name(state, "StripBrackets()");
  ReplaceEachFirstOccurrence(text, '<', "&lt;", AtTextEnd::kReplace);
  ReplaceEachFirstOccurrence(text, '>', "&gt;", AtTextEnd::kReplace);
  return text;
}

void AppendEscapedMarkup(std::string& out, std::string_view text, bool in_attribute) {
  const std::string_view special = in_attribute ? std::string_view("<>\"") : "<>";
  for (std::size_t at = text.find_first_of(special); at != std::string_view::npos;
       at = text.find_first_of(special)) {
    out.append(text.substr(0, at));
    switch (text[at]) {
      case '<': out.append("&lt;"); break;
      case '>': out.append("&gt;"); break;
      default: out.append("&quot;"); break;
    }
    text.remove_prefix(at + 1);
  }
  out.append(text);
}

std::string EscapedMarkup(std::string_view text, bool in_attribute) {
  std::string out;
  out.reserve(text.size());
  AppendEscapedMarkup(out, text, in_attribute);
  return out;
}

}  // namespace veltrana
