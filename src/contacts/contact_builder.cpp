#include "contacts/contact_builder.h"

#include <algorithm>
#include <array>
#include <optional>
#include <unordered_set>

#include "base/nickname_file.h"
#include "contacts/address_list.h"
#include "contacts/contact_uid.h"
#include "contacts/hash_slots.h"
#include "contacts/note_tags.h"
#include "contacts/utf8_text.h"

namespace veltrana {

namespace {

// The values of an "other..." tag: the marker separates them.
std::vector<std::string> SplitValues(std::string_view value) {
  std::vector<std::string> values;
  std::size_t start = 0;
  while (start <= value.size()) {
    const std::size_t end = std::min(value.find(kLineBreakMarker, start), value.size());
    std::string one = CleanValue(value.substr(start, end - start));
    if (!one.empty()) values.push_back(std::move(one));
    start = end + 1;
  }
  return values;
}

// Splits a display name at its last blank: given names, then family name.
void SplitName(const std::string& name, std::string& given, std::string& family) {
  const std::size_t blank = name.rfind(' ');
  if (blank == std::string::npos) {
    given = name;
    return;
  }
  given = std::string(TrimSpace(std::string_view(name).substr(0, blank)));
  family = name.substr(blank + 1);
}

// "Doe, John": the family name first, the given names after the comma.
void SplitWrittenName(const std::string& name, std::string& given, std::string& family) {
  const std::size_t comma = name.find(',');
  if (comma == std::string::npos) return SplitName(name, given, family);
  family = std::string(TrimSpace(std::string_view(name).substr(0, comma)));
  given = std::string(TrimSpace(std::string_view(name).substr(comma + 1)));
}

// The names a contact's lines give, before the contact's own names are
// chosen from them.
struct NameSources {
  std::string name, first, last;  // from the note tags
  std::string real_name;          // from the first address written with one
};

// Empties a contact and keeps the room its fields have taken.
void Empty(Contact& c) {
  for (std::string* text :
       {&c.nickname, &c.full_name, &c.given_name, &c.family_name, &c.title, &c.company}) {
    text->clear();
  }
  c.emails.clear();
  c.email_names.clear();
  c.members.clear();
  c.is_list = false;
  c.phones.clear();
  c.home_addresses.clear();
  c.work_addresses.clear();
  c.web_pages.clear();
  c.notes.clear();
  c.book = 0;
}

}  // namespace

class ContactBuilder::Parts {
 public:
  explicit Parts(const std::vector<NicknameBook>& books) : books_(books) {
    for (const NicknameBook& book : books) {
      offsets_.push_back(size_);
      size_ += book.records.size();
      at_sign_in_nicknames_ = at_sign_in_nicknames_ || book.nickname_with_at_sign;
    }
  }

  // What a building reads and makes: the whole contact from its lines; only
  // what the links keep; or the whole contact with its addresses and members
  // taken from the links, which were made from the same lines.
  enum class Mode { kWhole, kLinks, kFromLinks };

  std::size_t size() const { return size_; }
  void Build(std::size_t index, Contact& contact, std::vector<std::string>* warnings, Mode mode,
             const ContactLinks* links = nullptr);
  // Whether the contact built last needs its lines read whole to be built
  // again, and the real name its addresses gave.
  bool needs_whole() const { return alias_notes_ > 0; }
  const std::string& real_name() const { return names_.real_name; }

 private:
  std::optional<std::size_t> Named(std::string_view item);
  void AddAddressText(std::size_t self, std::string_view text);
  void TakeAddresses(const ContactLinks& links, std::size_t index);
  void AddEmails(AddressItem& parsed);
  bool IsNewAddress(std::string_view address);
  void AddNote(std::string_view note_text);
  void AddTag(std::string_view keyword, std::string_view raw, PostalAddress& home,
              PostalAddress& work);
  bool AddPostalPart(std::string_view keyword, std::string& value, PostalAddress& home,
                     PostalAddress& work);
  void SetOnce(std::string& field, std::string_view keyword, std::string& value);
  void AddTagNote(std::string_view keyword, std::string_view value);
  void AddPostalAddress(std::vector<PostalAddress>& to, PostalAddress&& address);
  void ChooseNames();

  const std::vector<NicknameBook>& books_;
  std::vector<std::size_t> offsets_;  // per book, the index of its first contact
  std::size_t size_ = 0;
  bool at_sign_in_nicknames_ = false;  // in any of the books
  std::vector<std::string>* warnings_ = nullptr;
  Mode mode_ = Mode::kWhole;
  std::size_t alias_notes_ = 0;  // notes made of alias items that are not addresses
  std::size_t book_ = 0;
  Contact* out_ = nullptr;  // the contact being built
  NameSources names_;
  std::unordered_set<std::string> email_keys_;   // lower-case, once a contact has many
  std::unordered_set<std::size_t> member_keys_;  // the records in out_->members
  std::size_t items_ = 0;
  std::size_t member_items_ = 0;
  std::string folded_;  // the item looked up last
  // What the book's texts are taken apart into, one after another.
  std::vector<std::string_view> items_in_text_;
  AddressItem parsed_;
  std::vector<NotePart> note_parts_;
};

void ContactBuilder::Parts::Build(std::size_t at, Contact& contact,
                                  std::vector<std::string>* warnings, Mode mode,
                                  const ContactLinks* links) {
  // Made in the caller's contact, in the room of the one before it.
  out_ = &contact;
  Empty(contact);
  warnings_ = warnings;
  mode_ = mode == Mode::kFromLinks && links->whole(at) ? Mode::kWhole : mode;
  const std::size_t book = static_cast<std::size_t>(
      std::upper_bound(offsets_.begin(), offsets_.end(), at) - offsets_.begin() - 1);
  const std::size_t index = at - offsets_[book];
  names_.name.clear();
  names_.first.clear();
  names_.last.clear();
  names_.real_name.clear();
  email_keys_.clear();
  member_keys_.clear();
  items_ = member_items_ = alias_notes_ = 0;
  book_ = book;
  out_->nickname.assign(books_[book].records[index].nickname);
  out_->book = book;
  if (mode_ == Mode::kFromLinks) {
    TakeAddresses(*links, at);
  } else {
    for (const std::string_view text : books_[book].AddressTexts(index)) AddAddressText(at, text);
    out_->is_list = items_ > 0 && member_items_ == items_;
  }
  for (const std::string_view text : books_[book].NoteTexts(index)) {
    // For the links an "otheremail" tag is the only one that matters.
    if (mode_ != Mode::kLinks || MayHoldTag(text, "otheremail")) {
      AddNote(text);
    }
  }
  if (mode_ != Mode::kLinks) ChooseNames();
}

// The contact an item names: in the item's own book, else in the first
// other book that has the nickname.
std::optional<std::size_t> ContactBuilder::Parts::Named(std::string_view item) {
  // Most items are addresses; while no nickname holds an "@", folding and
  // looking one up would only find nothing.
  if (!at_sign_in_nicknames_ && item.find('@') != std::string_view::npos) return std::nullopt;
  FoldUtf8Into(TrimSpace(UnquotedItem(item)), folded_);
  for (std::size_t step = 0; step < books_.size(); ++step) {
    const std::size_t book = step == 0 ? book_ : step <= book_ ? step - 1 : step;
    const std::size_t named = books_[book].index.Find(folded_);
    if (named != TextIndex::kNone) return offsets_[book] + named;
  }
  return std::nullopt;
}

void ContactBuilder::Parts::AddAddressText(std::size_t self, std::string_view text) {
  SplitAddressList(text, items_in_text_);
  for (const std::string_view item : items_in_text_) {
    ++items_;
    if (const std::optional<std::size_t> named = Named(item)) {
      ++member_items_;
      if (*named == self) {
        if (warnings_) {
          warnings_->push_back("the list \"" + out_->nickname + "\" names itself; left out there");
        }
      } else if (member_keys_.insert(*named).second) {
        out_->members.push_back(*named);
      }
      continue;
    }
    ParseAddressItem(item, parsed_);
    if (parsed_.addresses.empty()) {
      AddTagNote("email", item);
      ++alias_notes_;
      continue;
    }
    AddEmails(parsed_);
    if (names_.real_name.empty()) names_.real_name = parsed_.real_name;
  }
}

// The addresses (the alias lines' and the "otheremail" tags'), each with its
// real name, the members and the first real name, as the links keep them.
void ContactBuilder::Parts::TakeAddresses(const ContactLinks& links, std::size_t index) {
  for (const std::string_view email : links.emails(index)) out_->emails.emplace_back(email);
  for (const std::string_view name : links.email_names(index)) {
    out_->email_names.emplace_back(name);
  }
  const std::span<const std::size_t> members = links.members(index);
  out_->members.assign(members.begin(), members.end());
  out_->is_list = links.is_list(index);
  names_.real_name.assign(links.real_name(index));
}

// Each address once, letter case ignored; the item's real name goes with
// each. `parsed` gives its addresses away.
void ContactBuilder::Parts::AddEmails(AddressItem& parsed) {
  for (std::string& address : parsed.addresses) {
    if (!IsNewAddress(address)) continue;
    out_->emails.push_back(std::move(address));
    out_->email_names.push_back(parsed.real_name);
  }
}

// The few addresses of most contacts are compared one by one; a contact
// with many keeps their lower-case forms in a set.
bool ContactBuilder::Parts::IsNewAddress(std::string_view address) {
  constexpr std::size_t kFewAddresses = 16;
  const std::vector<std::string>& emails = out_->emails;
  if (emails.size() < kFewAddresses) {
    const auto same = [&](const std::string& known) {
      return EqualIgnoringAsciiCase(known, address);
    };
    return std::none_of(emails.begin(), emails.end(), same);
  }
  if (email_keys_.empty()) {
    for (const std::string& known : emails) email_keys_.insert(AsciiLower(known));
  }
  return email_keys_.insert(AsciiLower(address)).second;
}

void ContactBuilder::Parts::AddNote(std::string_view note_text) {
  PostalAddress home, work;
  ParseNoteText(note_text, note_parts_);
  if (mode_ == Mode::kLinks) {  // what the links keep: the addresses
    for (const NotePart& part : note_parts_) {
      if (part.is_tag && part.keyword == "otheremail") AddTag(part.keyword, part.text, home, work);
    }
    return;
  }
  for (const NotePart& part : note_parts_) {
    if (!part.is_tag) {
      std::string text = CleanValue(part.text);
      if (!text.empty()) out_->notes.push_back(std::move(text));
      continue;
    }
    AddTag(part.keyword, part.text, home, work);
  }
  AddPostalAddress(out_->home_addresses, std::move(home));
  AddPostalAddress(out_->work_addresses, std::move(work));
}

void ContactBuilder::Parts::AddTag(std::string_view keyword, std::string_view raw,
                                   PostalAddress& home, PostalAddress& work) {
  if (keyword == "otheremail" || keyword == "otherphone" || keyword == "otherweb") {
    for (std::string& value : SplitValues(raw)) {
      if (keyword == "otherphone") {
        out_->phones.push_back({PhoneKind::kOther, std::move(value)});
      } else if (keyword == "otherweb") {
        out_->web_pages.push_back({WebKind::kOther, std::move(value)});
      } else {
        ParseAddressItem(value, parsed_);
        if (parsed_.addresses.empty()) AddTagNote(keyword, value);
        if (mode_ != Mode::kFromLinks) AddEmails(parsed_);  // else taken already
      }
    }
    return;
  }
  std::string value = CleanValue(raw);
  if (value.empty()) return;
  if (keyword == "name") return SetOnce(names_.name, keyword, value);
  if (keyword == "first") return SetOnce(names_.first, keyword, value);
  if (keyword == "last") return SetOnce(names_.last, keyword, value);
  if (keyword == "title") return SetOnce(out_->title, keyword, value);
  if (keyword == "company") return SetOnce(out_->company, keyword, value);
  static constexpr struct {
    const char* keyword;
    PhoneKind kind;
  } kPhones[] = {
      {"phone", PhoneKind::kHome},         {"phone2", PhoneKind::kWork},
      {"mobile", PhoneKind::kMobile},      {"fax", PhoneKind::kFax},
      {"mobile2", PhoneKind::kWorkMobile}, {"fax2", PhoneKind::kWorkFax},
  };
  for (const auto& phone : kPhones) {
    if (keyword == phone.keyword) return out_->phones.push_back({phone.kind, std::move(value)});
  }
  if (keyword == "web") return out_->web_pages.push_back({WebKind::kHome, std::move(value)});
  if (keyword == "web2") return out_->web_pages.push_back({WebKind::kWork, std::move(value)});
  if (AddPostalPart(keyword, value, home, work)) return;
  AddTagNote(keyword, value);
}

// "keyword: value" in the notes.
void ContactBuilder::Parts::AddTagNote(std::string_view keyword, std::string_view value) {
  std::string& note = out_->notes.emplace_back();
  note.reserve(keyword.size() + 2 + value.size());
  note.append(keyword).append(": ").append(value);
}

// The parts of the home and the work address; a part written twice in one
// note keeps the first and puts the second into the notes.
bool ContactBuilder::Parts::AddPostalPart(std::string_view keyword, std::string& value,
                                          PostalAddress& home, PostalAddress& work) {
  static constexpr struct {
    const char* keyword;
    bool work;
    std::string PostalAddress::*part;
  } kParts[] = {
      {"address", false, &PostalAddress::street},  {"city", false, &PostalAddress::city},
      {"state", false, &PostalAddress::region},    {"zip", false, &PostalAddress::postal_code},
      {"country", false, &PostalAddress::country}, {"address2", true, &PostalAddress::street},
      {"city2", true, &PostalAddress::city},       {"state2", true, &PostalAddress::region},
      {"zip2", true, &PostalAddress::postal_code}, {"country2", true, &PostalAddress::country},
  };
  for (const auto& part : kParts) {
    if (keyword != part.keyword) continue;
    SetOnce((part.work ? work : home).*part.part, keyword, value);
    return true;
  }
  return false;
}

void ContactBuilder::Parts::SetOnce(std::string& field, std::string_view keyword,
                                    std::string& value) {
  if (field.empty()) {
    field = std::move(value);
  } else if (field != value) {
    AddTagNote(keyword, value);
  }
}

void ContactBuilder::Parts::AddPostalAddress(std::vector<PostalAddress>& to,
                                             PostalAddress&& address) {
  if (address == PostalAddress{}) return;
  if (std::find(to.begin(), to.end(), address) == to.end()) to.push_back(std::move(address));
}

// The display name: the note's name, else its first and last names, else
// the real name of an address, else the nickname, else the first address.
// The structured name comes from the first and last names, else from the
// display name split at its last blank; a list and a contact known only by
// its nickname or address have none.
void ContactBuilder::Parts::ChooseNames() {
  Contact& c = *out_;
  if (!names_.first.empty() || !names_.last.empty()) {
    c.given_name = names_.first;
    c.family_name = names_.last;
  }
  const std::string first_last = names_.first.empty() || names_.last.empty()
                                     ? names_.first + names_.last
                                     : names_.first + " " + names_.last;
  const std::array<const std::string*, 3> candidates{&names_.name, &first_last, &names_.real_name};
  for (const std::string* name : candidates) {
    if (name->empty()) continue;
    c.full_name = *name;
    if (c.given_name.empty() && c.family_name.empty() && !c.is_list) {
      SplitWrittenName(c.full_name, c.given_name, c.family_name);
    }
    return;
  }
  c.full_name = !c.nickname.empty() ? c.nickname : c.emails.empty() ? "" : c.emails.front();
}

std::string CleanValue(std::string_view value) {
  // The marker is a line break: trimmed with the blanks, before the copy.
  const auto blank = [](char c) { return c == kLineBreakMarker || TrimSpace({&c, 1}).empty(); };
  while (!value.empty() && blank(value.front())) value.remove_prefix(1);
  while (!value.empty() && blank(value.back())) value.remove_suffix(1);
  std::string clean(value);
  std::replace(clean.begin(), clean.end(), kLineBreakMarker, '\n');
  return clean;
}

ContactBuilder::ContactBuilder(const std::vector<NicknameBook>& books)
    : parts_(std::make_unique<Parts>(books)) {}

ContactBuilder::~ContactBuilder() = default;

std::size_t ContactBuilder::size() const {
  return parts_->size();
}

void ContactBuilder::Build(std::size_t index, Contact& contact,
                           std::vector<std::string>* warnings) {
  parts_->Build(index, contact, warnings, Parts::Mode::kWhole);
}

void ContactBuilder::AddLinks(std::size_t index, ContactLinks& links,
                              std::vector<std::string>* warnings) {
  parts_->Build(index, links_contact_, warnings, Parts::Mode::kLinks);
  links.Add(links_contact_, parts_->real_name(), parts_->needs_whole());
}

void ContactBuilder::Build(std::size_t index, const ContactLinks& links, Contact& contact) {
  parts_->Build(index, contact, nullptr, Parts::Mode::kFromLinks, &links);
}

void GiveContactUids(ContactLinks& links, const std::vector<NicknameBook>& books,
                     const std::vector<std::string>& book_names) {
  // The index holds each record's nickname folded, once per record; the
  // books are taken in order so that the same books give the same UIDs.
  HashSlots given;  // the contacts given their UID so far, by their UID
  // A UUID's first bytes are as good a hash as any.
  const auto hash_of = [](const UidBytes& uid) {
    return static_cast<std::uint32_t>(uid[0]) << 24 | static_cast<std::uint32_t>(uid[1]) << 16 |
           static_cast<std::uint32_t>(uid[2]) << 8 | uid[3];
  };
  given.Reserve(links.size());
  std::size_t offset = 0;  // the book's first contact
  for (std::size_t b = 0; b < books.size(); offset += books[b++].index.size()) {
    const std::string salt = b == 0 ? "" : FoldedUtf8(book_names[b]) + "\n";
    for (std::size_t record = 0; record < books[b].index.size(); ++record) {
      const std::string_view folded_nickname = books[b].index.KeyOf(record);
      const std::size_t contact = offset + record;
      UidBytes uid = salt.empty() ? ContactUid(folded_nickname)
                                  : ContactUid(std::string(salt).append(folded_nickname));
      const auto same = [&](std::size_t other) { return links.uid(other) == uid; };
      for (int again = 1; given.FindOrAdd(hash_of(uid), contact, same) != HashSlots::kNone;
           ++again) {
        uid = ContactUid(std::string(salt).append(folded_nickname) + "\n" + std::to_string(again));
      }
      links.SetUid(contact, uid);
    }
  }
}

std::vector<std::string> EmailNameNotes(const Contact& contact) {
  std::vector<std::string> notes;
  for (std::size_t i = 0; i < contact.emails.size() && i < contact.email_names.size(); ++i) {
    const std::string& name = contact.email_names[i];
    if (!name.empty() && name != contact.full_name) {
      notes.push_back("email: " + name + " <" + contact.emails[i] + ">");
    }
  }
  return notes;
}

}  // namespace veltrana
