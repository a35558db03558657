#include "page/text_ops.h"

#include "base/first_occurrence.h"

namespace veltrana {

std::string& ReplaceChr3(ConverterState& state, std::string& text) {
  state.proc = "ReplaceChr3()";
  ReplaceEachFirstOccurrence(text, state.eudbreak.at(0), state.br, AtTextEnd::kDrop);
  return text;
}

std::string& StripBrackets(ConverterState& state, std::string& text) {
  state.proc = "StripBrackets()";
  ReplaceEachFirstOccurrence(text, '<', "&lt;", AtTextEnd::kReplace);
  ReplaceEachFirstOccurrence(text, '>', "&gt;", AtTextEnd::kReplace);
  return text;
}

}  // namespace veltrana
