// The contacts as vCards (RFC 2426 for 3.0, RFC 6350 for 4.0), one card per
// contact in book order, UTF-8 with CR LF line ends.
//
// A list is, in 4.0, a KIND:group card with a MEMBER for each member (the
// member card's UID); in 3.0, which has no groups, a card whose addresses
// are those its members stand for. A contact that names other contacts
// beside its own addresses carries their addresses in both.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "book/contact_book.h"
#include "formats/export_sink.h"

namespace veltrana {

enum class VCardVersion { k30, k40 };

// Makes one contact's card at a time, for a writer that puts each card
// somewhere of its own (the web page links each entry to its card).
class VCardMaker {
 public:
  VCardMaker(const ContactBook& book, VCardVersion version);
  ~VCardMaker();
  VCardMaker(const VCardMaker&) = delete;
  VCardMaker& operator=(const VCardMaker&) = delete;

  // The card of the book's contact `index`, whose fields `contact` holds
  // (ContactBook::Get); valid until the next.
  const std::string& Card(std::size_t index, const Contact& contact);

 private:
  class Writer;
  std::unique_ptr<Writer> writer_;
};

// Every card of the book; each contact's book name is its CATEGORIES.
void WriteVCards(const ContactBook& book, VCardVersion version, const ExportSink& sink);

}  // namespace veltrana
