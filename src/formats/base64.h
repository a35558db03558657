// Base64 (RFC 4648, with padding), as LDIF writes a value that needs it and
// as a Content-Security-Policy names a hash.
#pragma once

#include <string>
#include <string_view>

namespace veltrana {

// `bytes` in base64, appended to `out`.
void AppendBase64(std::string_view bytes, std::string& out);

}  // namespace veltrana
