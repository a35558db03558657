#include "formats/vcard_writer.h"

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "formats/field_places.h"
#include "formats/note_lines.h"
#include "formats/vcard_line.h"

namespace veltrana {

namespace {

class CardWriter {
 public:
  CardWriter(const ContactBook& book, VCardVersion version)
      : book_(book), v4_(version == VCardVersion::k40) {}

  // VCardMaker::Card.
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

void CardWriter::Line(std::string_view name_and_parameters, std::string_view value) {
  const std::size_t start = card_.size();
  card_.append(name_and_parameters).append(":").append(value);
  EndVCardLine(card_, start);
}

void CardWriter::EscapedLine(std::string_view name_and_parameters, std::string_view value,
                             bool semicolon) {
  const std::size_t start = card_.size();
  card_.append(name_and_parameters).append(":");
  AppendEscapedVCardText(value, semicolon, card_);
  EndVCardLine(card_, start);
}

void CardWriter::Text(std::string_view name, std::string_view value) {
  if (!value.empty()) EscapedLine(name, value, !v4_);
}

void CardWriter::UidLine(std::string_view name, const UidBytes& uid) {
  const std::size_t start = card_.size();
  AppendUidText(uid, card_.append(name).append(v4_ ? ":urn:uuid:" : ":"));
  EndVCardLine(card_, start);
}

const std::string& CardWriter::Card(std::size_t index, const Contact& contact) {
  card_.clear();
  Line("BEGIN", "VCARD");
  Line("VERSION", v4_ ? "4.0" : "3.0");
  UidLine("UID", contact.uid);
  const bool group = v4_ && contact.is_list;
  if (group) Line("KIND", "group");
  EscapedLine("FN", contact.full_name, !v4_);
  if (!group) Names(contact);
  Text("NICKNAME", contact.nickname);
  // A group names its members instead of listing their addresses.
  if (group) {
    Emails(contact.emails);
  } else {
    book_.AddressesOf(index, addresses_);
    Emails(addresses_);
  }
  for (const Phone& phone : contact.phones) {
    const PhonePlaces& places = PlacesOf(phone.kind);
    EscapedLine(v4_ ? places.vcard40 : places.vcard30, phone.number, !v4_);
  }
  Addresses(contact.home_addresses, v4_ ? "home" : "HOME");
  Addresses(contact.work_addresses, v4_ ? "work" : "WORK");
  for (const WebPage& page : contact.web_pages) {
    const WebPlaces& places = PlacesOf(page.kind);
    Line(v4_ ? places.vcard40 : places.vcard30, VCardUri(page.url, !v4_));
  }
  Text("TITLE", contact.title);
  if (!contact.company.empty()) EscapedLine("ORG", contact.company, true);  // compound
  if (group) {
    for (const std::size_t member : contact.members)
      UidLine("MEMBER", book_.IdentityOf(member).uid);
  }
  Text("CATEGORIES", book_.books()[contact.book].name);
  notes_.Start(contact.notes);
  notes_.AddRealNames(contact);
  Text("NOTE", notes_.text());
  Line("END", "VCARD");
  return card_;
}

// 3.0 requires N, 4.0 writes it only when there is a name.
void CardWriter::Names(const Contact& contact) {
  if (v4_ && contact.family_name.empty() && contact.given_name.empty()) return;
  const std::size_t start = card_.size();
  card_.append("N:");
  AppendEscapedVCardText(contact.family_name, true, card_);
  card_ += ';';
  AppendEscapedVCardText(contact.given_name, true, card_);
  card_.append(";;;");
  AppendEscapedVCardText(contact.name_suffix, true, card_);
  EndVCardLine(card_, start);
}

void CardWriter::Emails(const std::vector<Email>& addresses) {
  for (std::size_t i = 0; i < addresses.size(); ++i) {
    const char* name = v4_ ? (i == 0 ? "EMAIL;PREF=1" : "EMAIL")
                           : (i == 0 ? "EMAIL;TYPE=INTERNET,PREF" : "EMAIL;TYPE=INTERNET");
    EscapedLine(name, addresses[i].address, !v4_);
  }
}

void CardWriter::Addresses(const std::vector<PostalAddress>& addresses, std::string_view type) {
  for (const PostalAddress& address : addresses) {
    const std::size_t start = card_.size();
    card_.append("ADR;TYPE=").append(type).append(":;");
    for (const auto part : kPostalMembers) {
      card_ += ';';
      AppendEscapedVCardText(address.*part, true, card_);
    }
    EndVCardLine(card_, start);
  }
}

}  // namespace

class VCardMaker::Writer : public CardWriter {
  using CardWriter::CardWriter;
};

VCardMaker::VCardMaker(const ContactBook& book, VCardVersion version)
    : writer_(std::make_unique<Writer>(book, version)) {}

VCardMaker::~VCardMaker() = default;

const std::string& VCardMaker::Card(std::size_t index, const Contact& contact) {
  return writer_->Card(index, contact);
}

void WriteVCards(const ContactBook& book, VCardVersion version, const ExportSink& sink) {
  CardWriter writer(book, version);
  Contact contact;
  for (std::size_t i = 0; i < book.size(); ++i) {
    book.Get(i, contact);
    sink(writer.Card(i, contact));
  }
}

}  // namespace veltrana
