#include "contacts/ldif_writer.h"

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <unordered_set>
#include <utility>

#include "contacts/text_index.h"
#include "contacts/text_store.h"
#include "contacts/utf8_text.h"

namespace veltrana {

namespace {

// A table of the bytes for which `is` holds, made once.
template <typename Is>
constexpr std::array<bool, 256> ByteTable(Is is) {
  std::array<bool, 256> table{};
  for (int byte = 0; byte < 256; ++byte) table[static_cast<std::size_t>(byte)] = is(byte);
  return table;
}

bool NeedsBase64(std::string_view value) {
  if (value.empty()) return false;
  const char first = value.front();
  if (first == ' ' || first == ':' || first == '<' || value.back() == ' ') return true;
  static constexpr std::array<bool, 256> kUnsafe = ByteTable(
      [](int byte) { return byte >= 0x80 || byte == '\0' || byte == '\r' || byte == '\n'; });
  // Printable ASCII, most of a value, needs none; the rest is looked at
  // byte by byte.
  const std::size_t plain = PlainAsciiRun(value, 0);
  return std::any_of(value.begin() + static_cast<std::ptrdiff_t>(plain), value.end(),
                     [](char c) { return kUnsafe[static_cast<unsigned char>(c)]; });
}

void AppendBase64(std::string_view bytes, std::string& out) {
  static constexpr char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  out.reserve(out.size() + (bytes.size() + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    const unsigned v = static_cast<unsigned char>(bytes[i]) << 16 |
                       static_cast<unsigned char>(bytes[i + 1]) << 8 |
                       static_cast<unsigned char>(bytes[i + 2]);
    out += kDigits[v >> 18];
    out += kDigits[(v >> 12) & 63];
    out += kDigits[(v >> 6) & 63];
    out += kDigits[v & 63];
  }
  if (i < bytes.size()) {
    const bool two = i + 1 < bytes.size();
    const unsigned v = static_cast<unsigned char>(bytes[i]) << 16 |
                       (two ? static_cast<unsigned char>(bytes[i + 1]) << 8 : 0u);
    out += kDigits[v >> 18];
    out += kDigits[(v >> 12) & 63];
    out += two ? kDigits[(v >> 6) & 63] : '=';
    out += '=';
  }
}

void AppendLdifLine(std::string_view name, std::string_view value, std::string& out) {
  out.append(name);
  if (NeedsBase64(value)) {
    out.append(":: ");
    AppendBase64(value, out);
  } else {
    out.append(": ").append(value);
  }
  out += '\n';
}

// A value of a DN's attribute as RFC 4514 escapes it.
void AppendDnValue(std::string_view value, std::string& escaped) {
  static constexpr std::array<bool, 256> kSpecial = ByteTable([](int c) {
    return c == ',' || c == '+' || c == '"' || c == '\\' || c == '<' || c == '>' || c == ';' ||
           c == '=' || c == '\n' || c == ' ' || c == '#';
  });
  std::size_t run = 0;  // the start of the bytes not yet copied, none special
  for (std::size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    if (!kSpecial[static_cast<unsigned char>(c)]) continue;  // most of a value
    escaped.append(value.substr(run, i - run));
    run = i + 1;
    const bool edge = (i == 0 && (c == ' ' || c == '#')) || (i + 1 == value.size() && c == ' ');
    if (edge || (c != ' ' && c != '#' && c != '\n')) escaped += '\\';
    escaped += c == '\n' ? ' ' : c;
  }
  escaped.append(value.substr(run));
}

class LdifWriter {
 public:
  LdifWriter(const ContactBook& book, const ExportSink& sink) : book_(book), sink_(sink) {}
  void Write();

 private:
  void Person(std::size_t index, const Contact& c);
  void List(std::size_t index, const Contact& c);
  void Attribute(std::string_view name, std::string_view value);
  void Phones(const Contact& contact);
  void Address(const std::vector<PostalAddress>& addresses, bool work);
  void Note(std::string_view tag, std::string_view value);
  std::vector<std::size_t> FlatMembers(std::size_t list) const;
  std::string_view DnOf(std::size_t index);
  void GiveDn(std::size_t index, std::string_view display_name);

  const ContactBook& book_;
  const ExportSink& sink_;
  std::vector<std::string_view> dns_;  // per contact given one so far, its DN in dn_texts_
  TextStore dn_texts_;
  TextIndex used_;  // the DNs given, views of dns_
  std::string dn_;
  // Builds the contacts given their DN before their turn: a list's members
  // further down.
  std::unique_ptr<ContactReader> ahead_;
  std::vector<std::size_t> list_ends_;  // ChainEnds of the lists naming one list
  std::string entry_;
  std::vector<std::string_view> addresses_;      // those of the person being written
  std::vector<std::string_view> first_address_;  // of the DN being given
  // A person's "tag: value" lines after its own notes, then its description.
  std::vector<std::string> notes_;
  std::string description_;
};

void LdifWriter::Attribute(std::string_view name, std::string_view value) {
  if (!value.empty()) AppendLdifLine(name, value, entry_);
}

void LdifWriter::Note(std::string_view tag, std::string_view value) {
  std::string& note = notes_.emplace_back(tag);
  note.append(": ").append(value);
}

// Each DN once: the display name and first address, as Thunderbird makes
// them, and the UID where two would be the same. The DNs are given in the
// contacts' order, so that the first of two the same keeps it.
void LdifWriter::GiveDn(std::size_t index, std::string_view display_name) {
  dn_.assign("cn=");
  AppendDnValue(display_name, dn_);
  if (!book_.links.is_list(index)) {
    AddressesOf(book_.links, book_.resolution, index, first_address_, 1);
    if (!first_address_.empty()) AppendDnValue(first_address_.front(), dn_.append(",mail="));
  }
  dns_.push_back(dn_texts_.Keep(dn_));
  if (!used_.Insert(dns_.back())) {
    book_.links.AppendUid(index, dn_.append(",uid="));
    dns_.back() = dn_texts_.Keep(dn_);
    used_.Insert(dns_.back());
  }
}

std::string_view LdifWriter::DnOf(std::size_t index) {
  if (!ahead_ && index >= dns_.size()) ahead_ = std::make_unique<ContactReader>(book_);
  while (index >= dns_.size()) GiveDn(dns_.size(), ahead_->At(dns_.size()).full_name);
  return dns_[index];
}

void LdifWriter::Write() {
  const ContactLinks& links = book_.links;
  if (links.MemberCount() > 0) {  // else there is no list to flatten
    list_ends_ = ChainEnds(links, [&](std::size_t c) {
      return links.is_list(c) && links.members(c).size() == 1 &&
             links.is_list(links.members(c).front());
    });
  }
  dns_.reserve(links.size());
  used_.Reserve(links.size());
  ContactReader reader(book_);
  for (std::size_t i = 0; i < links.size(); ++i) {
    entry_.clear();
    const Contact& c = reader.At(i);
    if (i == dns_.size()) GiveDn(i, c.full_name);
    if (i == 0 || c.book != links.book(i - 1)) {
      const std::string& name = book_.books[c.book].name;
      if (!name.empty() && !NeedsBase64(name)) entry_ += "# " + name + "\n";
    }
    if (c.is_list) {
      List(i, c);
    } else {
      Person(i, c);
    }
    entry_ += "\n";
    sink_(entry_);
  }
}

void LdifWriter::Phones(const Contact& contact) {
  struct Kind {
    PhoneKind kind;
    const char* attribute;
    const char* tag;
  };
  // Thunderbird's card has one number of each of these kinds; a work fax
  // takes the fax field when the card has no other fax.
  static constexpr std::array<Kind, 7> kKinds{{
      {PhoneKind::kWork, "telephoneNumber", "phone2"},
      {PhoneKind::kHome, "homePhone", "phone"},
      {PhoneKind::kFax, "facsimileTelephoneNumber", "fax"},
      {PhoneKind::kWorkFax, "facsimileTelephoneNumber", "fax2"},
      {PhoneKind::kMobile, "mobile", "mobile"},
      {PhoneKind::kWorkMobile, "mobile", "mobile2"},
      {PhoneKind::kOther, nullptr, "otherphone"},
  }};
  std::array<std::string_view, kKinds.size()> taken{};  // the attributes written
  std::size_t taken_count = 0;
  const auto take = [&](std::string_view attribute) {
    const auto end = taken.begin() + static_cast<std::ptrdiff_t>(taken_count);
    if (std::find(taken.begin(), end, attribute) != end) return false;
    taken[taken_count++] = attribute;
    return true;
  };
  for (const Kind& kind : kKinds) {
    for (const Phone& phone : contact.phones) {
      if (phone.kind != kind.kind) continue;
      if (kind.attribute != nullptr && take(kind.attribute)) {
        Attribute(kind.attribute, phone.number);
      } else {
        Note(kind.tag, phone.number);
      }
    }
  }
}

void LdifWriter::Address(const std::vector<PostalAddress>& addresses, bool work) {
  static constexpr std::array<const char*, 5> kHome{"mozillaHomeStreet", "mozillaHomeLocalityName",
                                                    "mozillaHomeState", "mozillaHomePostalCode",
                                                    "mozillaHomeCountryName"};
  static constexpr std::array<const char*, 5> kWork{"street", "l", "st", "postalCode", "c"};
  static constexpr std::array<const char*, 5> kHomeTags{"address", "city", "state", "zip",
                                                        "country"};
  static constexpr std::array<const char*, 5> kWorkTags{"address2", "city2", "state2", "zip2",
                                                        "country2"};
  for (std::size_t i = 0; i < addresses.size(); ++i) {
    const PostalAddress& a = addresses[i];
    const std::array<const std::string*, 5> parts{&a.street, &a.city, &a.region, &a.postal_code,
                                                  &a.country};
    for (std::size_t p = 0; p < parts.size(); ++p) {
      if (i == 0) {
        Attribute((work ? kWork : kHome)[p], *parts[p]);
      } else if (!parts[p]->empty()) {
        Note((work ? kWorkTags : kHomeTags)[p], *parts[p]);
      }
    }
  }
}

void LdifWriter::Person(std::size_t index, const Contact& c) {
  notes_.clear();
  Attribute("dn", DnOf(index));
  entry_ +=
      "objectclass: top\nobjectclass: person\nobjectclass: organizationalPerson\n"
      "objectclass: inetOrgPerson\nobjectclass: mozillaAbPersonAlpha\n";
  Attribute("givenName", c.given_name);
  Attribute("sn", c.family_name);
  Attribute("cn", c.full_name);
  Attribute("mozillaNickname", c.nickname);
  AddressesOf(book_.links, book_.resolution, index, addresses_);
  const std::vector<std::string_view>& addresses = addresses_;
  for (std::size_t i = 0; i < addresses.size(); ++i) {
    if (i < 2) {
      Attribute(i == 0 ? "mail" : "mozillaSecondEmail", addresses[i]);
    } else {
      Note("email", addresses[i]);
    }
  }
  for (std::string& note : EmailNameNotes(c)) notes_.push_back(std::move(note));
  Phones(c);
  Address(c.home_addresses, false);
  Address(c.work_addresses, true);
  Attribute("title", c.title);
  Attribute("o", c.company);
  bool home_url = false, work_url = false;
  for (const WebPage& page : c.web_pages) {
    if (page.kind == WebKind::kHome && !home_url) {
      Attribute("mozillaHomeUrl", page.url);
      home_url = true;
    } else if (page.kind != WebKind::kOther && !work_url) {
      Attribute("mozillaWorkUrl", page.url);
      work_url = true;
    } else {
      Note(page.kind == WebKind::kHome   ? "web"
           : page.kind == WebKind::kWork ? "web2"
                                         : "otherweb",
           page.url);
    }
  }
  description_.clear();
  for (const std::vector<std::string>* list : {&c.notes, &std::as_const(notes_)}) {
    for (const std::string& note : *list) {
      description_.append(description_.empty() ? "" : "\n").append(note);
    }
  }
  Attribute("description", description_);
}

// The person entries a list reaches, lists inside it replaced by theirs,
// each once, in the order met.
// A list whose only member is a list reaches what that one reaches, so the
// walk goes straight to the end of such a chain.
std::vector<std::size_t> LdifWriter::FlatMembers(std::size_t list) const {
  std::vector<std::size_t> flat;
  // A list that names only itself names no one (and the book may have no
  // member at all, and so no chain ends).
  if (book_.links.members(list).empty()) return flat;
  const std::size_t start = list_ends_[list];
  if (start == ListResolution::kNone) return flat;
  std::unordered_set<std::size_t> seen{start};
  std::vector<std::pair<std::size_t, std::size_t>> path{{start, 0}};
  while (!path.empty()) {
    auto& [contact, next] = path.back();
    const std::span<const std::size_t> members = book_.links.members(contact);
    if (next == members.size()) {
      path.pop_back();
      continue;
    }
    std::size_t member = members[next++];
    if (book_.links.is_list(member)) member = list_ends_[member];
    if (member == ListResolution::kNone || !seen.insert(member).second) continue;
    if (book_.links.is_list(member)) {
      path.emplace_back(member, 0);
    } else {
      flat.push_back(member);
    }
  }
  return flat;
}

void LdifWriter::List(std::size_t index, const Contact& c) {
  Attribute("dn", DnOf(index));
  entry_ += "objectclass: top\nobjectclass: groupOfNames\n";
  Attribute("cn", c.full_name);
  Attribute("mozillaNickname", c.nickname);
  std::string description;
  for (const std::string& note : c.notes)
    description.append(description.empty() ? "" : "\n") += note;
  Attribute("description", description);
  for (const std::size_t member : FlatMembers(index)) Attribute("member", DnOf(member));
}

}  // namespace

std::string LdifLine(std::string_view name, std::string_view value) {
  std::string line;
  AppendLdifLine(name, value, line);
  return line;
}

void WriteLdif(const ContactBook& book, const ExportSink& sink) {
  LdifWriter(book, sink).Write();
}

}  // namespace veltrana
