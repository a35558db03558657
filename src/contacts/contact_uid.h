// The UID of a contact's card: a UUID made from its folded nickname, so that
// every export of the same book gives each contact the same UID and an
// address book that imports it again updates the cards instead of adding
// new ones.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace veltrana {

// A UUID's 16 bytes.
using UidBytes = std::array<unsigned char, 16>;

// A version 8 UUID of the RFC 4122 variant from two 64-bit FNV-1a hashes of
// `folded_nickname`.
UidBytes ContactUid(std::string_view folded_nickname);

// `uid` as "xxxxxxxx-xxxx-8xxx-yxxx-xxxxxxxxxxxx" (lower-case hex), appended
// to `out`.
void AppendUidText(const UidBytes& uid, std::string& out);

}  // namespace veltrana
