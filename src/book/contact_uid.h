// The UID of a contact's card: a UUID made from its folded nickname, so that
// every export of the same book gives each contact the same UID and an
// address book that imports it again updates the cards instead of adding
// new ones.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace veltrana {

// A UUID's 16 bytes.
using UidBytes = std::array<unsigned char, 16>;

// A version 8 UUID of the RFC 4122 variant from two 64-bit FNV-1a hashes of
// `folded_nickname`.
[[nodiscard]] UidBytes ContactUid(std::string_view folded_nickname);

// `uid` as "xxxxxxxx-xxxx-8xxx-yxxx-xxxxxxxxxxxx" (lower-case hex), appended
// to `out`.
void AppendUidText(const UidBytes& uid, std::string& out);

class ContactTable;

// Gives every contact of `contacts` its UID. The first book's contacts keep
// the UID their nickname alone gives; another book's are made from its name
// (`book_names`, per book) too, and a UID met twice is made unique, the
// same way in every export of the same books.
void GiveContactUids(ContactTable& contacts, const std::vector<std::string>& book_names);

}  // namespace veltrana
