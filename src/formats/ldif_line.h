// The lines of an LDIF file (RFC 2849): an attribute's value as it is, or
// in base64 where it must be, and the values of a distinguished name
// escaped as RFC 4514 does.
#pragma once

#include <string>
#include <string_view>

namespace veltrana {

// Whether a value must be written in base64: it holds a NUL, a CR, a line
// feed or a byte above 0x7F, or it begins with a blank, ":" or "<", or ends
// with a blank.
[[nodiscard]] bool NeedsBase64(std::string_view value);

// "name: value", or "name:: base64" when the value needs it; ended by a
// line feed and appended to `out`.
void AppendLdifLine(std::string_view name, std::string_view value, std::string& out);

// A value of a DN's attribute, escaped: "," "+" '"' "\" "<" ">" ";" "="
// always, "#" first and a blank first or last; a line break becomes a blank.
void AppendDnValue(std::string_view value, std::string& out);

}  // namespace veltrana
