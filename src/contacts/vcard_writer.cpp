#include "contacts/vcard_writer.h"

#include "contacts/vcard_line.h"

namespace veltrana {

namespace {

class CardWriter {
 public:
  CardWriter(const std::vector<Contact>& contacts, const ListResolution& resolution,
             std::vector<std::string> categories, VCardVersion version)
      : contacts_(contacts),
        resolution_(resolution),
        categories_(std::move(categories)),
        v4_(version == VCardVersion::k40) {}

  std::string Card(std::size_t index);

 private:
  void Line(std::string_view name_and_parameters, std::string_view value);
  void Text(std::string_view name, std::string_view value);
  std::string Uid(const Contact& contact) const;
  const char* Type(const char* v3, const char* v4) const { return v4_ ? v4 : v3; }
  void Names(const Contact& contact);
  void Emails(const std::vector<std::string>& addresses);
  void Phones(const Contact& contact);
  void Addresses(const std::vector<PostalAddress>& addresses, const char* type);
  void WebPages(const Contact& contact);

  // A text value, escaped as its version wants it outside compound values:
  // 3.0's grammar escapes ";" everywhere, and Evolution ends a value at a
  // bare one (a URL's too); 4.0 escapes it only inside compound values, and
  // Thunderbird, reading either version, keeps the backslash of "\;".
  std::string Escaped(std::string_view value) const { return EscapeVCardText(value, !v4_); }

  const std::vector<Contact>& contacts_;
  const ListResolution& resolution_;
  std::vector<std::string> categories_;  // per book
  bool v4_;
  std::string card_;
};

void CardWriter::Line(std::string_view name_and_parameters, std::string_view value) {
  std::string line(name_and_parameters);
  line.append(":").append(value);
  card_.append(FoldedVCardLine(line));
}

void CardWriter::Text(std::string_view name, std::string_view value) {
  if (!value.empty()) Line(name, Escaped(value));
}

std::string CardWriter::Uid(const Contact& contact) const {
  return v4_ ? "urn:uuid:" + contact.uid : contact.uid;
}

std::string CardWriter::Card(std::size_t index) {
  const Contact& contact = contacts_[index];
  card_.clear();
  Line("BEGIN", "VCARD");
  Line("VERSION", v4_ ? "4.0" : "3.0");
  Line("UID", Uid(contact));
  const bool group = v4_ && contact.is_list;
  if (group) Line("KIND", "group");
  Line("FN", Escaped(contact.full_name));
  if (!group) Names(contact);
  Text("NICKNAME", contact.nickname);
  // A group names its members instead of listing their addresses.
  Emails(group ? contact.emails : AddressesOf(contacts_, resolution_, index));
  Phones(contact);
  Addresses(contact.home_addresses, Type("HOME", "home"));
  Addresses(contact.work_addresses, Type("WORK", "work"));
  WebPages(contact);
  Text("TITLE", contact.title);
  if (!contact.company.empty()) Line("ORG", EscapeVCardText(contact.company));  // compound
  if (group) {
    for (const std::size_t member : contact.members) Line("MEMBER", Uid(contacts_[member]));
  }
  if (contact.book < categories_.size()) Text("CATEGORIES", categories_[contact.book]);
  std::string note;
  for (const std::string& entry : contact.notes)
    note.append(note.empty() ? "" : "\n").append(entry);
  for (const std::string& entry : EmailNameNotes(contact))
    note.append(note.empty() ? "" : "\n").append(entry);
  Text("NOTE", note);
  Line("END", "VCARD");
  return card_;
}

// 3.0 requires N, 4.0 writes it only when there is a name.
void CardWriter::Names(const Contact& contact) {
  if (v4_ && contact.family_name.empty() && contact.given_name.empty()) return;
  Line("N",
       EscapeVCardText(contact.family_name) + ";" + EscapeVCardText(contact.given_name) + ";;;");
}

void CardWriter::Emails(const std::vector<std::string>& addresses) {
  for (std::size_t i = 0; i < addresses.size(); ++i) {
    const char* name = v4_ ? (i == 0 ? "EMAIL;PREF=1" : "EMAIL")
                           : (i == 0 ? "EMAIL;TYPE=INTERNET,PREF" : "EMAIL;TYPE=INTERNET");
    Line(name, Escaped(addresses[i]));
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
    Line(name, Escaped(phone.number));
  }
}

void CardWriter::Addresses(const std::vector<PostalAddress>& addresses, const char* type) {
  for (const PostalAddress& a : addresses) {
    Line(std::string("ADR;TYPE=") + type,
         ";;" + EscapeVCardText(a.street) + ";" + EscapeVCardText(a.city) + ";" +
             EscapeVCardText(a.region) + ";" + EscapeVCardText(a.postal_code) + ";" +
             EscapeVCardText(a.country));
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

std::string VCardOf(const std::vector<Contact>& contacts, const ListResolution& resolution,
                    std::size_t index, VCardVersion version) {
  return CardWriter(contacts, resolution, {}, version).Card(index);
}

void WriteVCards(const ContactBook& book, VCardVersion version, const ExportSink& sink) {
  CardWriter writer(book.contacts, book.resolution, book.BookNames(), version);
  for (std::size_t i = 0; i < book.contacts.size(); ++i) sink(writer.Card(i));
}

}  // namespace veltrana
