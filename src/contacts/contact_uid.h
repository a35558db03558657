// The UID of a contact's card: a UUID made from its folded nickname, so that
// every export of the same book gives each contact the same UID and an
// address book that imports it again updates the cards instead of adding
// new ones.
#pragma once

#include <string>
#include <string_view>

namespace veltrana {

// "xxxxxxxx-xxxx-8xxx-yxxx-xxxxxxxxxxxx" (lower-case hex, version 8, the
// RFC 4122 variant) from two 64-bit FNV-1a hashes of `folded_nickname`.
std::string ContactUid(std::string_view folded_nickname);

}  // namespace veltrana
