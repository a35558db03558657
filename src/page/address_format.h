// The address text of an alias line, turned into its form on the page: one
// address as a mailto link, several as a list without links.
#pragma once

#include <string>

#include "page/converter_state.h"

namespace veltrana {

// True when the text holds more than one address: a comma that does not end
// it, two "@", or a line-break marker that neither ends it nor is followed
// by another marker (only the first comma, "@" and marker are looked at).
// Stores "MultipleAddress()" in `proc`.
bool MultipleAddress(ConverterState& state, std::string& text);

// Several addresses as one line each: commas become line breaks (one that
// ends the text is dropped), brackets are escaped, markers become "<br>".
// Rewrites the argument and returns it. Stores "MakeMultipleAddress()".
std::string& MakeMultipleAddress(ConverterState& state, std::string& text);

// The written form of one address. The tests run in this order, the first
// that holds deciding: a quote first; "<" first (with or without a "(");
// "<" elsewhere; "("; "@"; none. Stores "AddressFormat()" in `proc`.
AddressForm AddressFormat(ConverterState& state, std::string& text);

// Cuts the bare address out of `emailaddress` by its form, drops one
// trailing comma, makes it a mailto link (not without an address form), and sets a text
// longer than 92 characters in small type. Sets `addrformat`. Code 5 when
// the form's brackets or blank are missing. Stores "ExtractEmailAddress()".
void ExtractEmailAddress(ConverterState& state);

}  // namespace veltrana
