// The nickname files read for the export, from their bytes to their
// contacts: each text turned into UTF-8, its lines into nickname records,
// the records of all the books into contacts, and the lists resolved across
// the books.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "contacts/charset.h"
#include "contacts/contact.h"
#include "contacts/list_resolution.h"

namespace veltrana {

// One book to read: the name its contacts carry as their category, and its
// bytes, which the reading releases once they are text.
struct BookBytes {
  std::string name;
  std::string bytes;
};

// What was read of one book.
struct BookSummary {
  std::string name;
  Charset charset = Charset::kWindows1252;  // the set it was read in
  std::size_t contacts = 0;                 // lists included
  std::size_t lists = 0;
  std::size_t replaced_bytes = 0;  // not text in the book's character set
};

struct ContactBook {
  std::vector<Contact> contacts;  // book after book
  ListResolution resolution;
  std::vector<BookSummary> books;     // in the order given
  std::vector<std::string> warnings;  // lines taken in part, lists naming themselves

  std::size_t ListCount() const;
  std::vector<std::string> BookNames() const;  // per book, its name
};

// Reads the books in the set `charset` names, or in the set each book's own
// bytes suggest when it names none (DetectCharset). Without `uids` (for a
// format that writes none) every contact's UID is left empty.
ContactBook ReadContactBooks(std::vector<BookBytes> books, std::optional<Charset> charset,
                             bool uids = true);

// One book without a name.
ContactBook ReadContactBook(std::string_view bytes, Charset charset);

}  // namespace veltrana
