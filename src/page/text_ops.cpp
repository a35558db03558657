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

}  // namespace veltrana
