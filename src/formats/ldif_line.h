// The lines of an LDIF file (RFC 2849): an attribute's value as it is, or
// in base64 where it must be, and the values of a distinguished name
// escaped as RFC 4514 does.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace veltrana {

// Whether a value must be written in base64: it holds a NUL, a CR, a line
// feed or a byte above 0x7F, or it begins with a blank, ":" or "<", or ends
// with a blank.
[[nodiscard]] bool NeedsBase64(std::string_view value);

// The longest line written, the line feed not counted. A longer one is
// folded: Evolution reads LDIF in pieces of 1,023 bytes and takes a line
// that fills one exactly for the end of the entry, losing every entry after
// it.
inline constexpr std::size_t kLdifLineOctets = 76;

// "name: value", or "name:: base64" when the value needs it, folded at
// kLdifLineOctets; ended by a line feed and appended to `out`.
void AppendLdifLine(std::string_view name, std::string_view value, std::string& out);

// Folds the line that begins at `start` of `text` and runs to its end (no
// line feed yet) into lines of kLdifLineOctets, each after the first opened
// by a blank (RFC 2849).
void FoldLdifLine(std::string& text, std::size_t start);

// A value of a DN's attribute, escaped: "," "+" '"' "\" "<" ">" ";" "="
// always, "#" first and a blank first or last; a line break becomes a blank.
void AppendDnValue(std::string_view value, std::string& out);

}  // namespace veltrana
