// The contacts of the nickname books: one per record, book after book, each
// in its book's order. A record's alias lines give its addresses, their real
// names and its members; its note lines every other field. An item that
// names a nickname is a member: of the item's own book first, else of the
// first other book that has it.
#pragma once

#include <string>
#include <vector>

#include "book/contact_table.h"
#include "book/nickname_book.h"

namespace veltrana {

// Adds the contacts of `books` to `contacts`, without their UIDs. What could
// not be taken as written (a list that names itself) goes to `warnings`.
void MakeContacts(const std::vector<NicknameBook>& books, ContactTable& contacts,
                  std::vector<std::string>& warnings);

}  // namespace veltrana
