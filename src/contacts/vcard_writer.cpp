#include "contacts/vcard_writer.h"

#include <span>
#include <string_view>

#include "contacts/vcard_line.h"

namespace veltrana {

namespace {

class CardWriter {
 public:
  CardWriter(const ContactBook& book, std::vector<std::string> categories, VCardVersion version)
      : book_(book), categories_(std::move(categories)), v4_(version == VCardVersion::k40) {}

  // The card of `contact`, the book's contact `index`, valid until the next.
  const std::string& Card(std::size_t index, const Contact& contact);

 private:
  void Line(std::string_view name_and_parameters, std::string_view value);
  void EscapedLine(std::string_view name_and_parameters, std::string_view value, bool semicolon);
  // A line of the UID of contact `index`.
  void UidLine(std::string_view name, std::size_t index);
  // A text value, escaped as its version wants it outside compound values
  // (`semicolon` is !v4_ there): 3.0's grammar escapes ";" everywhere, and
  // Evolution ends a value at a bare one (a URL's too); 4.0 escapes it only
  // inside compound values, and Thunderbird, reading either version, keeps
  // the backslash of "\;".
  void Text(std::string_view name, std::string_view value);
  const char* Type(const char* v3, const char* v4) const { return v4_ ? v4 : v3; }
  void Names(const Contact& contact);
  void Emails(std::span<const std::string_view> addresses);
  void Phones(const Contact& contact);
  void Addresses(const std::vector<PostalAddress>& addresses, const char* type);
  void WebPages(const Contact& contact);

  const ContactBook& book_;
  std::vector<std::string> categories_;  // per book
  bool v4_;
  std::string card_;
  std::vector<std::string_view> addresses_;  // those the card is written with
  std::string note_;
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

void CardWriter::UidLine(std::string_view name, std::size_t index) {
  const std::size_t start = card_.size();
  book_.links.AppendUid(index, card_.append(name).append(v4_ ? ":urn:uuid:" : ":"));
  EndVCardLine(card_, start);
}

const std::string& CardWriter::Card(std::size_t index, const Contact& contact) {
  card_.clear();
  Line("BEGIN", "VCARD");
  Line("VERSION", v4_ ? "4.0" : "3.0");
  UidLine("UID", index);
  const bool group = v4_ && contact.is_list;
  if (group) Line("KIND", "group");
  EscapedLine("FN", contact.full_name, !v4_);
  if (!group) Names(contact);
  Text("NICKNAME", contact.nickname);
  // A group names its members instead of listing their addresses.
  if (group) {
    Emails(book_.links.emails(index));
  } else {
    AddressesOf(book_.links, book_.resolution, index, addresses_);
    Emails(addresses_);
  }
  Phones(contact);
  Addresses(contact.home_addresses, Type("HOME", "home"));
  Addresses(contact.work_addresses, Type("WORK", "work"));
  WebPages(contact);
  Text("TITLE", contact.title);
  if (!contact.company.empty()) EscapedLine("ORG", contact.company, true);  // compound
  if (group) {
    for (const std::size_t member : contact.members) UidLine("MEMBER", member);
  }
  if (contact.book < categories_.size()) Text("CATEGORIES", categories_[contact.book]);
  note_.clear();
  for (const std::string& entry : contact.notes)
    note_.append(note_.empty() ? "" : "\n").append(entry);
  for (const std::string& entry : EmailNameNotes(contact))
    note_.append(note_.empty() ? "" : "\n").append(entry);
  Text("NOTE", note_);
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
  EndVCardLine(card_, start);
}

void CardWriter::Emails(std::span<const std::string_view> addresses) {
  for (std::size_t i = 0; i < addresses.size(); ++i) {
    const char* name = v4_ ? (i == 0 ? "EMAIL;PREF=1" : "EMAIL")
                           : (i == 0 ? "EMAIL;TYPE=INTERNET,PREF" : "EMAIL;TYPE=INTERNET");
    EscapedLine(name, addresses[i], !v4_);
  }
}

void CardWriter::Phones(const Contact& contact) {
  for (const Phone& phone : contact.phones) {
    const char* name = "TEL";
    switch (phone.kind) {
      case PhoneKind::kHome: name = Type("TEL;TYPE=HOME,VOICE", "TEL;TYPE=home,voice"); break;
      case PhoneKind::kWork: name = Type("TEL;TYPE=WORK,VOICE", "TEL;TYPE=work,voice"); break;
      case PhoneKind::kMobile: name = Type("TEL;TYPE=CELL,VOICE", "TEL;TYPE=cell,voice"); break;
      // Thunderbird files a number under the first type it knows: the
      // kind of line comes before the place.
      case PhoneKind::kFax: name = Type("TEL;TYPE=FAX,HOME", "TEL;TYPE=fax,home"); break;
      case PhoneKind::kWorkFax: name = Type("TEL;TYPE=FAX,WORK", "TEL;TYPE=fax,work"); break;
      case PhoneKind::kWorkMobile: name = Type("TEL;TYPE=CELL,WORK", "TEL;TYPE=cell,work"); break;
      case PhoneKind::kOther: name = Type("TEL;TYPE=VOICE", "TEL;TYPE=voice"); break;
    }
    EscapedLine(name, phone.number, !v4_);
  }
}

void CardWriter::Addresses(const std::vector<PostalAddress>& addresses, const char* type) {
  for (const PostalAddress& a : addresses) {
    const std::size_t start = card_.size();
    card_.append("ADR;TYPE=").append(type).append(":;;");
    AppendEscapedVCardText(a.street, true, card_);
    for (const std::string* part : {&a.city, &a.region, &a.postal_code, &a.country}) {
      card_ += ';';
      AppendEscapedVCardText(*part, true, card_);
    }
    EndVCardLine(card_, start);
  }
}

void CardWriter::WebPages(const Contact& contact) {
  for (const WebPage& page : contact.web_pages) {
    const char* name = "URL";
    if (page.kind == WebKind::kHome) name = Type("URL;TYPE=HOME", "URL;TYPE=home");
    if (page.kind == WebKind::kWork) name = Type("URL;TYPE=WORK", "URL;TYPE=work");
    Line(name, VCardUri(page.url, !v4_));
  }
}

}  // namespace

std::string VCardOf(const ContactBook& book, std::size_t index, VCardVersion version) {
  return CardWriter(book, {}, version).Card(index, book.ContactAt(index));
}

void WriteVCards(const ContactBook& book, VCardVersion version, const ExportSink& sink) {
  CardWriter writer(book, book.BookNames(), version);
  ContactReader reader(book);
  for (std::size_t i = 0; i < book.size(); ++i) sink(writer.Card(i, reader.At(i)));
}

}  // namespace veltrana
