// The contacts of a nickname book: each record's alias lines give its
// addresses, real name and members, its note lines every other field.
#pragma once

#include <string>
#include <vector>

#include "contacts/contact.h"
#include "contacts/nickname_book.h"

namespace veltrana {

// One contact per record, book after book, each in its book's order, all
// without a UID yet. An item that names a nickname is a member: of the
// item's own book first, else of the first other book that has it.
// `warnings` receives what could not be taken as written (a list that names
// itself). Each record's lines are released once its contact is made; the
// records and indexes stay.
std::vector<Contact> BuildContacts(std::vector<NicknameBook>& books,
                                   std::vector<std::string>& warnings);

// Gives the contacts BuildContacts made of `books` their UIDs. The first
// book's contacts keep the UID their nickname alone gives; another book's
// are made from its name too, and a UID met twice is made unique. Only the
// books' indexes are read: their records and text may be gone.
void GiveContactUids(std::vector<Contact>& contacts, const std::vector<NicknameBook>& books,
                     const std::vector<std::string>& book_names);

// A value of the book as a contact holds it: line-break markers (code 3)
// become "\n", blanks and line breaks at its ends go.
std::string CleanValue(std::string_view value);

}  // namespace veltrana
