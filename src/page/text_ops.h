// The two text operations that several parts of the program share. Each
// rewrites its argument in place and also returns it.
#pragma once

#include <string>
#include <string_view>

#include "page/converter_state.h"

namespace veltrana {

// Line-break markers (`eudbreak`) become `br`, except a marker that ends the
// text, which is removed. Stores "ReplaceChr3()" in `proc`.
std::string& ReplaceChr3(ConverterState& state, std::string& text);

// Every "<" becomes "&lt;", then every ">" becomes "&gt;"; nothing else
// changes, so applying it twice equals applying it once. Stores
// "StripBrackets()" in `proc`.
std::string& StripBrackets(ConverterState& state, std::string& text);

// Text from the address book made safe for the page: "<" and ">" become
// "&lt;" and "&gt;", so that no byte of the book opens or closes a tag; with
// `in_attribute`, a double quote becomes "&quot;", so that it cannot end the
// quoted attribute it stands in. "&" stays as the book has it. A text
// without these bytes is returned as it is.
std::string EscapedMarkup(std::string_view text, bool in_attribute = false);
// The same, appended to `out`.
void AppendEscapedMarkup(std::string& out, std::string_view text, bool in_attribute = false);

}  // namespace veltrana
