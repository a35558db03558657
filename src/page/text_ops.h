// The two text operations that several parts of the program share. Each
// rewrites its argument in place and also returns it.
#pragma once

#include <string>

#include "page/converter_state.h"

namespace veltrana {

// Line-break markers (`eudbreak`) become `br`, except a marker that ends the
// text, which is removed. Stores "ReplaceChr3()" in `proc`.
std::string& ReplaceChr3(ConverterState& state, std::string& text);

// Every "<" becomes "&lt;", then every ">" becomes "&gt;"; nothing else
// changes, so applying it twice equals applying it once. Stores
// "StripBrackets()" in `proc`.
std::string& StripBrackets(ConverterState& state, std::string& text);

}  // namespace veltrana
