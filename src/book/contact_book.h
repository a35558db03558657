// The book floor: nickname files read into contacts. Here the books read,
// from their bytes to their contacts: each text turned into UTF-8 once and
// kept, its lines into nickname records, each record into one contact, the
// lists resolved across the books. The writers take each contact as a plain
// value and ask the book for what a contact stands for through the others.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "book/contact.h"
#include "book/contact_table.h"
#include "book/list_resolution.h"
#include "text/charset.h"

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

class ContactBook {
 public:
  [[nodiscard]] std::size_t size() const { return contacts_.size(); }  // lists included
  // Contact `index`, book after book, into `contact`, whose room is reused.
  void Get(std::size_t index, Contact& contact) const { contacts_.Get(index, contact); }
  [[nodiscard]] ContactIdentity IdentityOf(std::size_t index) const {
    return contacts_.IdentityOf(index);
  }
  // ContactTable::FetchAhead.
  void FetchAhead(std::span<const std::size_t> order, std::size_t at) const {
    contacts_.FetchAhead(order, at);
  }
  [[nodiscard]] const std::vector<BookSummary>& books() const { return books_; }
  // Which of the books contact `index` comes from.
  [[nodiscard]] std::size_t BookOf(std::size_t index) const { return contacts_.Book(index); }
  [[nodiscard]] std::size_t ListCount() const;
  // Lines taken in part and lists that name themselves, in the order met.
  [[nodiscard]] const std::vector<std::string>& warnings() const { return warnings_; }
  // Per contact that leads back to itself: "a -> b -> a".
  [[nodiscard]] const std::vector<std::string>& cycles() const { return lists_.cycles(); }
  // Whether contact `index` leads back to itself through the contacts it
  // names.
  [[nodiscard]] bool OnCycle(std::size_t index) const { return lists_.OnCycle(index); }

  // Every address contact `index` stands for: ListResolution::AddressesOf.
  void AddressesOf(std::size_t index, std::vector<Email>& addresses,
                   std::size_t most = kNoContact) const {
    lists_.AddressesOf(contacts_, index, addresses, most);
  }
  // The people a list reaches: ListResolution::PeopleIn.
  void PeopleIn(std::size_t list, std::vector<std::size_t>& people) const {
    lists_.PeopleIn(contacts_, list, people);
  }

 private:
  friend ContactBook ReadContactBooks(std::vector<BookBytes>, std::optional<Charset>);
  std::vector<BookSummary> books_;  // in the order given
  ContactTable contacts_;
  ListResolution lists_;
  std::vector<std::string> warnings_;
};

// Reads the books (the first is the main one: a nickname names a contact of
// its own book first) in the set `charset` names, or each in the set its
// own bytes suggest when it names none (DetectCharset).
[[nodiscard]] ContactBook ReadContactBooks(std::vector<BookBytes> books,
                                           std::optional<Charset> charset);

}  // namespace veltrana
