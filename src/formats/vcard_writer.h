// The contacts as vCards (RFC 2426 for 3.0, RFC 6350 for 4.0), one card per
// contact in book order, UTF-8 with CR LF line ends.
//
// A list is, in 4.0, a KIND:group card with a MEMBER for each member (the
// member card's UID); in 3.0, which has no groups, a card whose addresses
// are those its members stand for. A contact that names other contacts
// beside its own addresses carries their addresses in both.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "book/contact_book.h"
#include "formats/export_sink.h"
#include "formats/note_lines.h"

namespace veltrana {

enum class VCardVersion { k30, k40 };

// Makes one contact's card at a time, for a writer that puts each card
// somewhere of its own (the web page links each entry to its card).
class VCardMaker {
 public:
  VCardMaker(const ContactBook& book, VCardVersion version)
      : book_(book), v4_(version == VCardVersion::k40) {}

  // The card of the book's contact `index`, whose fields `contact` holds
  // (ContactBook::Get); valid until the next.
  const std::string& Card(std::size_t index, const Contact& contact);

 private:
  void Line(std::string_view name_and_parameters, std::string_view value);
  void EscapedLine(std::string_view name_and_parameters, std::string_view value, bool semicolon);
  void UidLine(std::string_view name, const UidBytes& uid);
  // A text value, escaped as its version wants it outside compound values
  // (`semicolon` is !v4_ there): 3.0's grammar escapes ";" everywhere, and
  // Evolution ends a value at a bare one (a URL's too); 4.0 escapes it only
  // inside compound values, and Thunderbird, reading either version, keeps
  // the backslash of "\;".
  void Text(std::string_view name, std::string_view value);
  void Names(const Contact& contact);
  void Emails(const std::vector<Email>& addresses);
  void Addresses(const std::vector<PostalAddress>& addresses, std::string_view type);

  const ContactBook& book_;
  bool v4_;
  std::string card_;
  std::vector<Email> addresses_;  // those the card is written with
  NoteLines notes_;
};

// Every card of the book; each contact's book name is its CATEGORIES.
void WriteVCards(const ContactBook& book, VCardVersion version, const ExportSink& sink);

}  // namespace veltrana
