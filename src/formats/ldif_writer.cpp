#include "formats/ldif_writer.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "formats/field_places.h"
#include "formats/ldif_line.h"
#include "formats/note_lines.h"

namespace veltrana {

namespace {

// The order of the phones on Thunderbird's card, which has one number of
// each kind; a work fax takes the fax field when the card has no other fax.
constexpr std::array<PhoneKind, 7> kCardPhoneOrder{
    PhoneKind::kWork,   PhoneKind::kHome,       PhoneKind::kFax,   PhoneKind::kWorkFax,
    PhoneKind::kMobile, PhoneKind::kWorkMobile, PhoneKind::kOther,
};

class LdifWriter {
 public:
  LdifWriter(const ContactBook& book, const ExportSink& sink) : book_(book), sink_(sink) {}
  void Write();

 private:
  void GiveUidsToDns();
  const std::string& Dn(std::size_t index);
  const std::string& Dn(std::size_t index, bool with_uid);
  void Person(std::size_t index, const Contact& c);
  void List(std::size_t index, const Contact& c);
  void Attribute(std::string_view name, std::string_view value);
  // Whether `attribute` is one the entry still lacks; it then has it.
  bool Take(std::string_view attribute);

  const ContactBook& book_;
  const ExportSink& sink_;
  // Per contact, whether its DN takes its UID, to stay apart from an
  // earlier contact's.
  std::vector<bool> with_uid_;
  Contact contact_;
  std::string dn_;
  std::string entry_;
  std::vector<std::string_view> taken_;  // the attributes of the entry that hold one value
  std::vector<Email> addresses_;
  std::vector<std::size_t> people_;
  NoteLines notes_;
};

void LdifWriter::Attribute(std::string_view name, std::string_view value) {
  if (!value.empty()) AppendLdifLine(name, value, entry_);
}

bool LdifWriter::Take(std::string_view attribute) {
  if (attribute.empty() || std::find(taken_.begin(), taken_.end(), attribute) != taken_.end()) {
    return false;
  }
  taken_.push_back(attribute);
  return true;
}

// Contact `index`'s DN, as Thunderbird makes it: its display name and first
// address, with its UID between them where GiveUidsToDns says so. The
// address comes last and as it is: Thunderbird finds a list's member by
// what follows "mail=" in its DN, to the end, escapes and all. (What comes
// before it cannot hold "mail=": the "=" of a name is escaped.) Valid until
// the next.
const std::string& LdifWriter::Dn(std::size_t index) {
  return Dn(index, with_uid_[index]);
}

const std::string& LdifWriter::Dn(std::size_t index, bool with_uid) {
  const ContactIdentity c = book_.IdentityOf(index);
  dn_.assign("cn=");
  AppendDnValue(c.full_name, dn_);
  if (with_uid) AppendUidText(c.uid, dn_.append(",uid="));
  if (!c.is_list) {
    book_.AddressesOf(index, addresses_, 1);
    if (!addresses_.empty()) dn_.append(",mail=").append(addresses_.front().address);
  }
  return dn_;
}

// Each DN once: a contact whose name and first address make the DN of an
// earlier contact takes its UID into its DN. The DNs given so far are known
// by their hashes, and one that shares a hash is made again to compare.
void LdifWriter::GiveUidsToDns() {
  std::unordered_multimap<std::size_t, std::size_t> given;  // hash of its DN, contact
  given.reserve(book_.size());
  const std::hash<std::string_view> hash;
  with_uid_.assign(book_.size(), false);
  std::string dn;
  for (std::size_t i = 0; i < book_.size(); ++i) {
    dn = Dn(i, false);
    const auto [first, last] = given.equal_range(hash(dn));
    if (std::any_of(first, last, [&](const auto& other) { return Dn(other.second) == dn; })) {
      with_uid_[i] = true;
      dn = Dn(i, true);
    }
    given.emplace(hash(dn), i);
  }
}

void LdifWriter::Write() {
  GiveUidsToDns();
  for (std::size_t i = 0; i < book_.size(); ++i) {
    const std::size_t before = contact_.book;
    book_.Get(i, contact_);
    const Contact& c = contact_;
    entry_.clear();
    if (i == 0 || c.book != before) {
      const std::string& name = book_.books()[c.book].name;
      if (!name.empty() && !NeedsBase64(name)) entry_.append("# ").append(name).append("\n");
    }
    Attribute("dn", Dn(i));
    if (c.is_list) {
      List(i, c);
    } else {
      Person(i, c);
    }
    entry_ += "\n";
    sink_(entry_);
  }
}

void LdifWriter::Person(std::size_t index, const Contact& c) {
  notes_.Start(c.notes);
  taken_.clear();
  entry_ +=
      "objectclass: top\nobjectclass: person\nobjectclass: organizationalPerson\n"
      "objectclass: inetOrgPerson\nobjectclass: mozillaAbPersonAlpha\n";
  Attribute("givenName", c.given_name);
  Attribute("sn", c.family_name);
  Attribute("cn", c.full_name);
  Attribute("mozillaNickname", c.nickname);
  book_.AddressesOf(index, addresses_);
  for (std::size_t i = 0; i < addresses_.size(); ++i) {
    if (i < 2) {
      Attribute(i == 0 ? "mail" : "mozillaSecondEmail", addresses_[i].address);
    } else {
      notes_.AddAddress({}, addresses_[i].address);
    }
  }
  notes_.AddRealNames(c);
  for (const PhoneKind kind : kCardPhoneOrder) {
    for (const Phone& phone : c.phones) {
      if (phone.kind != kind) continue;
      const auto take = [&](std::string_view attribute) {
        if (!Take(attribute)) return false;
        Attribute(attribute, phone.number);
        return true;
      };
      PlaceOrNote(std::array{PlacesOf(kind).ldif}, take, TagOf(kind), phone.number, notes_);
    }
  }
  for (const bool work : {false, true}) {
    PlaceAddresses(
        work ? c.work_addresses : c.home_addresses, work,
        [&](const PostalPlaces& places, std::string_view part) {
          Attribute(work ? places.ldif_work : places.ldif_home, part);
        },
        notes_);
  }
  Attribute("title", c.title);
  Attribute("o", c.company);
  for (const WebPage& page : c.web_pages) {
    const auto take = [&](std::string_view attribute) {
      if (!Take(attribute)) return false;
      Attribute(attribute, page.url);
      return true;
    };
    PlaceOrNote(PlacesOf(page.kind).ldif, take, TagOf(page.kind), page.url, notes_);
  }
  Attribute("description", notes_.text());
}

void LdifWriter::List(std::size_t index, const Contact& c) {
  entry_ += "objectclass: top\nobjectclass: groupOfNames\n";
  Attribute("cn", c.full_name);
  Attribute("mozillaNickname", c.nickname);
  // A group has no attribute for an address of its own: the description
  // takes it, as every value without a place.
  notes_.Start(c.notes);
  for (const Email& email : c.emails) notes_.AddAddress(email.real_name, email.address);
  Attribute("description", notes_.text());
  book_.PeopleIn(index, people_);
  for (const std::size_t member : people_) Attribute("member", Dn(member));
}

}  // namespace

void WriteLdif(const ContactBook& book, const ExportSink& sink) {
  LdifWriter(book, sink).Write();
}

}  // namespace veltrana
