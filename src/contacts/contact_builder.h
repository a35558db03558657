// The contacts of a nickname book: each record's alias lines give its
// addresses, real name and members, its note lines every other field.
#pragma once

#include <string>
#include <vector>

#include "contacts/contact.h"
#include "contacts/nickname_book.h"

namespace veltrana {

// One contact per record, in the same order. `warnings` receives what could
// not be taken as written (a list that names itself).
std::vector<Contact> BuildContacts(const NicknameBook& book, std::vector<std::string>& warnings);

// A value of the book as a contact holds it: line-break markers (code 3)
// become "\n", blanks and line breaks at its ends go.
std::string CleanValue(std::string_view value);

}  // namespace veltrana
