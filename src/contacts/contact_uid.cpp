#include "contacts/contact_uid.h"

#include <array>
#include <cstdint>

namespace veltrana {

namespace {

std::uint64_t Fnv1a(std::string_view text, std::uint64_t basis) {
  std::uint64_t hash = basis;
  for (const char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ULL;
  }
  return hash;
}

}  // namespace

std::string ContactUid(std::string_view folded_nickname) {
  constexpr std::string_view kSalt = "veltrana-contact:";
  const std::uint64_t high = Fnv1a(folded_nickname, Fnv1a(kSalt, 0xcbf29ce484222325ULL));
  const std::uint64_t low = Fnv1a(folded_nickname, Fnv1a(kSalt, 0x84222325cbf29ce4ULL));
  std::array<unsigned char, 16> bytes{};
  for (int i = 0; i < 8; ++i) {
    bytes[static_cast<std::size_t>(i)] = static_cast<unsigned char>(high >> (56 - 8 * i));
    bytes[static_cast<std::size_t>(8 + i)] = static_cast<unsigned char>(low >> (56 - 8 * i));
  }
  bytes[6] = static_cast<unsigned char>((bytes[6] & 0x0F) | 0x80);  // version 8
  bytes[8] = static_cast<unsigned char>((bytes[8] & 0x3F) | 0x80);  // variant
  static constexpr char kHex[] = "0123456789abcdef";
  std::string uid(36, '-');
  std::size_t at = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) ++at;  // the dash stays
    uid[at++] = kHex[bytes[i] >> 4];
    uid[at++] = kHex[bytes[i] & 0x0F];
  }
  return uid;
}

}  // namespace veltrana
