#include "page/converter_state.h"

#include "base/nickname_file.h"
#include "base/program_identity.h"

namespace veltrana {

void SetConverterDefaults(ConverterState& state) {
  state.quote = std::string(1, kNicknameQuote);
  state.br = "<br>";
  state.eudbreak = std::string(1, kLineBreakMarker);
  state.inifile = kSettingsFileName;
  state.addressbook = kDefaultAddressBook;
}

void SetPageTitleDefault(ConverterState& state) {
  state.pagetitle = "Email Addresses";
}

ConverterState LoadedConverterState() {
  ConverterState state;
  state.proc = "Form_Load()";
  SetConverterDefaults(state);
  SetPageTitleDefault(state);
  return state;
}

}  // namespace veltrana
