#include "contacts/ldif_writer.h"

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <unordered_set>
#include <utility>

#include "contacts/hash_slots.h"
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
  void ComposeDn(std::size_t index, std::string_view display_name, bool with_uid, std::string& dn);
  void GiveDn(std::size_t index, std::string_view display_name);
  std::string_view OwnDn(std::size_t index, const Contact& c);
  std::string_view DnGiven(std::size_t index);
  // Its DN when kept, else empty.
  std::string_view Kept(std::size_t index) const {
    return kept_.empty() ? std::string_view() : kept_[index];
  }
  std::string_view MemberDn(std::size_t member);

  const ContactBook& book_;
  const ExportSink& sink_;
  // The DNs are given in the contacts' order; given_ have theirs. Only the
  // DNs of the contacts a list names are kept, for the lists' member lines;
  // the others are known by their hash, and a contact whose DN shares its
  // hash with a new one is built again to compare them.
  std::size_t given_ = 0;
  HashSlots dns_;               // the contacts given a DN, by its hash
  std::vector<bool> with_uid_;  // per contact, whether its UID was added to its DN
  std::vector<bool> named_;     // per contact, whether a list names it (empty when none does)
  std::vector<std::string_view> kept_;  // per contact a list names, its DN in kept_texts_
  TextStore kept_texts_;
  std::string dn_;        // the DN given or composed last
  std::string other_dn_;  // a DN given before, composed again
  // Build contacts out of their turn: those given their DN before their
  // turn (a list's members further down), and those whose DN is composed
  // again.
  std::unique_ptr<ContactReader> ahead_, again_;
  std::vector<std::size_t> list_ends_;  // ChainEnds of the lists naming one list
  std::string entry_;
  std::vector<std::string_view> addresses_;      // those of the person being written
  std::vector<std::string_view> first_address_;  // of the DN being composed
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

// The display name and first address, as Thunderbird makes them, and the
// UID when the two would name an earlier contact.
void LdifWriter::ComposeDn(std::size_t index, std::string_view display_name, bool with_uid,
                           std::string& dn) {
  dn.assign("cn=");
  AppendDnValue(display_name, dn);
  if (!book_.links.is_list(index)) {
    AddressesOf(book_.links, book_.resolution, index, first_address_, 1);
    if (!first_address_.empty()) AppendDnValue(first_address_.front(), dn.append(",mail="));
  }
  if (with_uid) book_.links.AppendUid(index, dn.append(",uid="));
}

// Contact `index`'s DN, into dn_: each DN once, the first of two the same
// keeping it.
void LdifWriter::GiveDn(std::size_t index, std::string_view display_name) {
  ComposeDn(index, display_name, false, dn_);
  const auto same = [&](std::size_t other) { return DnGiven(other) == dn_; };
  if (dns_.FindOrAdd(HashOfText(dn_), index, same) != HashSlots::kNone) {
    with_uid_[index] = true;
    book_.links.AppendUid(index, dn_.append(",uid="));
    // Should even that be taken, it is still this contact's.
    dns_.FindOrAdd(HashOfText(dn_), index, same);
  }
  if (!named_.empty() && named_[index]) kept_[index] = kept_texts_.Keep(dn_);
  ++given_;
}

// The DN of a contact given one already.
std::string_view LdifWriter::DnGiven(std::size_t index) {
  if (const std::string_view kept = Kept(index); !kept.empty()) return kept;
  if (!again_) again_ = std::make_unique<ContactReader>(book_);
  ComposeDn(index, again_->At(index).full_name, with_uid_[index], other_dn_);
  return other_dn_;
}

// The DN of `c`, contact `index`, in its turn.
std::string_view LdifWriter::OwnDn(std::size_t index, const Contact& c) {
  if (index == given_) {
    GiveDn(index, c.full_name);
    return dn_;
  }
  if (const std::string_view kept = Kept(index); !kept.empty()) return kept;
  ComposeDn(index, c.full_name, with_uid_[index], dn_);
  return dn_;
}

// The DN of a list's member, given before its turn when it comes later.
std::string_view LdifWriter::MemberDn(std::size_t member) {
  if (!ahead_ && member >= given_) ahead_ = std::make_unique<ContactReader>(book_);
  while (member >= given_) GiveDn(given_, ahead_->At(given_).full_name);
  return DnGiven(member);
}

void LdifWriter::Write() {
  const ContactLinks& links = book_.links;
  if (links.MemberCount() > 0) {  // else there is no list to flatten
    list_ends_ = ChainEnds(links, [&](std::size_t c) {
      return links.is_list(c) && links.members(c).size() == 1 &&
             links.is_list(links.members(c).front());
    });
    named_.assign(links.size(), false);
    for (std::size_t c = 0; c < links.size(); ++c) {
      for (const std::size_t member : links.members(c)) named_[member] = true;
    }
    kept_.resize(links.size());
  }
  with_uid_.assign(links.size(), false);
  dns_.Reserve(links.size());
  ContactReader reader(book_);
  for (std::size_t i = 0; i < links.size(); ++i) {
    entry_.clear();
    const Contact& c = reader.At(i);
    if (i == 0 || c.book != links.book(i - 1)) {
      const std::string& name = book_.books[c.book].name;
      if (!name.empty() && !NeedsBase64(name)) entry_ += "# " + name + "\n";
    }
    Attribute("dn", OwnDn(i, c));
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
  entry_ += "objectclass: top\nobjectclass: groupOfNames\n";
  Attribute("cn", c.full_name);
  Attribute("mozillaNickname", c.nickname);
  std::string description;
  for (const std::string& note : c.notes)
    description.append(description.empty() ? "" : "\n") += note;
  Attribute("description", description);
  for (const std::size_t member : FlatMembers(index)) Attribute("member", MemberDn(member));
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
