// SHA-256 (FIPS 180-4), for the hashes by which a page's Content-Security-
// Policy allows its own inline style and script.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace veltrana {

[[nodiscard]] std::array<std::uint8_t, 32> Sha256(std::string_view bytes);

// The digest in base64 (RFC 4648, with padding), as a CSP source names it:
// 'sha256-' and these 44 characters.
[[nodiscard]] std::string Sha256Base64(std::string_view bytes);

}  // namespace veltrana
