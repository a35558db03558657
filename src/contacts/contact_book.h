// The nickname files read for the export, from their bytes to their
// contacts: each text turned into UTF-8, its lines into nickname records,
// the records of all the books into contacts, and the lists resolved across
// the books.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "contacts/charset.h"
#include "contacts/contact.h"
#include "contacts/contact_links.h"
#include "contacts/list_resolution.h"

namespace veltrana {

class ContactBuilder;

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

// The books read: per contact what the others need of it, and what builds
// each contact afresh from the books' lines when it is written, so that a
// book of any size is never held as all its contacts at once.
class ContactBook {
 public:
  ContactBook();
  ~ContactBook();
  ContactBook(ContactBook&&) noexcept;
  ContactBook& operator=(ContactBook&&) noexcept;

  std::size_t size() const { return links.size(); }  // contacts, lists included
  std::size_t ListCount() const;
  std::vector<std::string> BookNames() const;  // per book, its name
  // Contact `index` (book after book), built afresh from its lines alone.
  // Its UID is the links'.
  Contact ContactAt(std::size_t index) const;

  ContactLinks links;  // per contact, book after book
  ListResolution resolution;
  std::vector<BookSummary> books;     // in the order given
  std::vector<std::string> warnings;  // lines taken in part, lists naming themselves

 private:
  friend class ContactReader;
  friend ContactBook ReadContactBooks(std::vector<BookBytes>, std::optional<Charset>, bool);
  struct Source;  // the books' texts and their records, views into them
  std::unique_ptr<Source> source_;
};

// The book's contacts one at a time, each built into the same room, for a
// writer that goes through them all: what the links hold already is taken
// from them. The same contacts as ContactAt gives; each valid until the next.
class ContactReader {
 public:
  explicit ContactReader(const ContactBook& book);
  ~ContactReader();
  ContactReader(const ContactReader&) = delete;
  ContactReader& operator=(const ContactReader&) = delete;

  const Contact& At(std::size_t index);

 private:
  const ContactBook& book_;
  std::unique_ptr<ContactBuilder> builder_;
  Contact contact_;
};

// Reads the books in the set `charset` names, or in the set each book's own
// bytes suggest when it names none (DetectCharset). Without `uids` (for a
// format that writes none) every contact's UID is left empty.
ContactBook ReadContactBooks(std::vector<BookBytes> books, std::optional<Charset> charset,
                             bool uids = true);

// One book without a name.
ContactBook ReadContactBook(std::string_view bytes, Charset charset);

}  // namespace veltrana
