// The contacts of a nickname book: each record's alias lines give its
// addresses, real name and members, its note lines every other field.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "contacts/contact.h"
#include "contacts/contact_links.h"
#include "contacts/nickname_book.h"

namespace veltrana {

// The contacts of the books' records: one per record, book after book, each
// in its book's order, without a UID. An item that names a nickname is a
// member: of the item's own book first, else of the first other book that
// has it. The records' lines and the text they are views into must outlive
// the builder; the same record always gives the same contact.
class ContactBuilder {
 public:
  explicit ContactBuilder(const std::vector<NicknameBook>& books);
  ~ContactBuilder();
  ContactBuilder(const ContactBuilder&) = delete;
  ContactBuilder& operator=(const ContactBuilder&) = delete;

  std::size_t size() const;  // contacts, all books together
  // Builds contact `index` into `contact`, reusing its room. What could not
  // be taken as written (a list that names itself) goes to `warnings`.
  void Build(std::size_t index, Contact& contact, std::vector<std::string>* warnings = nullptr);
  // Adds to `links` what they keep of contact `index` (the next one): the
  // note lines are read only for the addresses they hold.
  void AddLinks(std::size_t index, ContactLinks& links,
                std::vector<std::string>* warnings = nullptr);
  // Builds contact `index` as Build does, its addresses and members taken
  // from `links`, which AddLinks made of the same books.
  void Build(std::size_t index, const ContactLinks& links, Contact& contact);

 private:
  class Parts;
  std::unique_ptr<Parts> parts_;
  Contact links_contact_;  // the room AddLinks builds in
};

// Gives the contacts of `books` their UIDs in `links`. The first book's
// contacts keep the UID their nickname alone gives; another book's are made
// from its name too, and a UID met twice is made unique. Only the books'
// indexes are read.
void GiveContactUids(ContactLinks& links, const std::vector<NicknameBook>& books,
                     const std::vector<std::string>& book_names);

// A value of the book as a contact holds it: line-break markers (code 3)
// become "\n", blanks and line breaks at its ends go.
std::string CleanValue(std::string_view value);

}  // namespace veltrana
