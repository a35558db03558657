// The note line of an entry: tags for the name, postal address, phone and
// fax ("<name:" value ">" and so on), then free text. Line breaks inside a
// value are the marker character (code 3).
#pragma once

#include "page/converter_state.h"

namespace veltrana {

// Splits `noteline` into the five recipient fields. Each tag is looked for
// once, in the order fax, phone, address, name; its value runs to the next
// ">". The free text is what follows the tag that closes last, made safe for
// the page; without such a tag, or with fewer than two characters after it,
// the whole note text is the note. Code 5 for a tag without a ">" after it,
// code 6 for positions past 32,767. Stores "ReadNoteLine()" in `proc`.
void ReadNoteLine(ConverterState& state);

}  // namespace veltrana
