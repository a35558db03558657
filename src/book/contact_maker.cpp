#include "book/contact_maker.h"

#include <algorithm>
#include <array>
#include <deque>
#include <optional>
#include <unordered_set>

#include "base/nickname_file.h"
#include "book/address_list.h"
#include "book/note_tags.h"
#include "text/utf8_text.h"

namespace veltrana {

namespace {

// A blank, a tab, a line end or the line-break marker: what a value loses at
// its ends.
bool IsBlankOrBreak(char c) {
  return c == kLineBreakMarker || TrimSpace({&c, 1}).empty();
}

// The words that end a name rather than being part of it: generations,
// degrees and titles written after the name ("Zoë Smith, Jr.", "Ann Lee
// PhD"). Compared without letter case and without a closing dot.
bool IsNameSuffix(std::string_view word) {
  static constexpr std::array<std::string_view, 19> kSuffixes{
      "jr", "sr", "ii", "iii", "iv", "phd", "ph.d", "md", "m.d", "dds",
      "dmd", "esq", "cpa", "mba", "jd", "dvm", "rn", "obe", "mbe"};
  if (word.ends_with('.')) word.remove_suffix(1);
  return std::any_of(kSuffixes.begin(), kSuffixes.end(),
                     [word](std::string_view suffix) { return EqualIgnoringAsciiCase(word, suffix); });
}

// Whether `text` is one or more suffixes, separated by commas or blanks.
bool IsSuffixes(std::string_view text) {
  bool any = false;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = std::min(text.find_first_of(", ", start), text.size());
    if (end > start) {
      if (!IsNameSuffix(text.substr(start, end - start))) return false;
      any = true;
    }
    start = end + 1;
  }
  return any;
}

// Splits a display name at its last blank: given names, then family name.
// A last word that is a suffix is the name's suffix, and the split is made
// before it.
void SplitName(std::string_view name, SingleFields& fields) {
  std::size_t blank = name.rfind(' ');
  if (blank != std::string_view::npos && IsNameSuffix(name.substr(blank + 1))) {
    const std::string_view before = TrimSpace(name.substr(0, blank));
    if (before.find(' ') != std::string_view::npos) {
      fields.name_suffix = name.substr(blank + 1);
      name = before;
      blank = name.rfind(' ');
    }
  }
  if (blank == std::string_view::npos) {
    fields.given_name = name;
    return;
  }
  fields.given_name = TrimSpace(name.substr(0, blank));
  fields.family_name = name.substr(blank + 1);
}

// "Doe, John": the family name first, the given names after the comma. What
// follows a comma may instead be the name's suffix ("Zoë Smith, Jr."): the
// name before it then splits as one written without a comma.
void SplitWrittenName(std::string_view name, SingleFields& fields) {
  const std::size_t comma = name.find(',');
  if (comma == std::string_view::npos) return SplitName(name, fields);
  const std::string_view before = TrimSpace(name.substr(0, comma));
  const std::string_view after = TrimSpace(name.substr(comma + 1));
  if (IsSuffixes(after) && !before.empty()) {
    fields.name_suffix = after;
    return SplitName(before, fields);
  }
  fields.family_name = before;
  fields.given_name = after;
}

class Maker {
 public:
  Maker(const std::vector<NicknameBook>& books, ContactTable& contacts,
        std::vector<std::string>& warnings);
  void Make(std::size_t book, std::size_t record);

 private:
  std::optional<std::size_t> Named(std::string_view item);
  void AddAddressText(std::string_view text);
  void AddEmails(const AddressItem& parsed);
  bool IsNewAddress(std::string_view address);
  void AddNote(std::string_view note_text);
  void AddTag(std::string_view keyword, std::string_view raw, PostalAddress& home,
              PostalAddress& work);
  void SetOnce(std::string_view& field, std::string_view keyword, std::string_view value);
  void AddTagNote(std::string_view keyword, std::string_view value);
  std::string_view Clean(std::string_view value);
  const std::vector<std::string_view>& SplitValues(std::string_view raw);
  std::string_view Keep(std::string_view text);
  void ChooseNames();

  const std::vector<NicknameBook>& books_;
  ContactTable& contacts_;
  std::vector<std::string>& warnings_;
  std::vector<std::size_t> offsets_;   // per book, the index of its first contact
  bool at_sign_in_nicknames_ = false;  // in any of the books

  // The contact being made.
  std::size_t self_ = 0, book_ = 0;
  std::string_view nickname_;
  SingleFields fields_;
  std::string_view name_, first_, last_;  // from the note tags
  std::string_view real_name_;            // of the first address written with one
  // The texts made for this contact (a value whose line breaks are written
  // anew, a note, a name), which last until the table has copied them.
  std::deque<std::string> made_texts_;
  std::size_t items_ = 0, member_items_ = 0;
  std::unordered_set<std::size_t> members_;          // those named so far
  std::unordered_set<std::string> lower_addresses_;  // once it has many addresses

  // Room reused from one contact to the next.
  std::string folded_;
  std::vector<std::string_view> items_in_text_, values_;
  AddressItem parsed_;
  std::vector<NotePart> note_parts_;
};

Maker::Maker(const std::vector<NicknameBook>& books, ContactTable& contacts,
             std::vector<std::string>& warnings)
    : books_(books), contacts_(contacts), warnings_(warnings) {
  std::size_t first = contacts.size();
  for (const NicknameBook& book : books) {
    offsets_.push_back(first);
    first += book.records.size();
    at_sign_in_nicknames_ = at_sign_in_nicknames_ || book.nickname_with_at_sign;
  }
}

void Maker::Make(std::size_t book, std::size_t record) {
  self_ = offsets_[book] + record;
  book_ = book;
  nickname_ = books_[book].records[record].nickname;
  fields_ = {};
  name_ = first_ = last_ = real_name_ = {};
  items_ = member_items_ = 0;
  made_texts_.clear();
  // (Emptying an empty set would still clear all its buckets.)
  if (!members_.empty()) members_.clear();
  if (!lower_addresses_.empty()) lower_addresses_.clear();
  contacts_.Begin(nickname_, book);
  for (const std::string_view text : books_[book].AddressTexts(record)) AddAddressText(text);
  fields_.is_list = items_ > 0 && member_items_ == items_;
  for (const std::string_view text : books_[book].NoteTexts(record)) AddNote(text);
  ChooseNames();
  contacts_.End(fields_);
}

// The contact an item names: in the item's own book, else in the first
// other book that has the nickname.
std::optional<std::size_t> Maker::Named(std::string_view item) {
  // Most items are addresses: books whose nicknames hold no "@" are not
  // asked for one.
  const bool at_sign = item.find('@') != std::string_view::npos;
  if (at_sign && !at_sign_in_nicknames_) return std::nullopt;
  FoldUtf8Into(TrimSpace(UnquotedItem(item)), folded_);
  for (std::size_t step = 0; step < books_.size(); ++step) {
    const std::size_t book = step == 0 ? book_ : step <= book_ ? step - 1 : step;
    if (at_sign && !books_[book].nickname_with_at_sign) continue;
    const auto found = books_[book].index.find(folded_);
    if (found != books_[book].index.end()) return offsets_[book] + found->second;
  }
  return std::nullopt;
}

void Maker::AddAddressText(std::string_view text) {
  SplitAddressList(text, items_in_text_);
  for (const std::string_view item : items_in_text_) {
    ++items_;
    if (const std::optional<std::size_t> named = Named(item)) {
      ++member_items_;
      if (*named == self_) {
        warnings_.push_back("the list \"" + std::string(nickname_) +
                            "\" names itself; left out there");
      } else if (members_.insert(*named).second) {
        contacts_.AddMember(*named);
      }
      continue;
    }
    ParseAddressItem(item, parsed_);
    if (parsed_.addresses.empty()) {
      AddTagNote(kEmailTag, item);
      continue;
    }
    AddEmails(parsed_);
    if (real_name_.empty()) real_name_ = Keep(parsed_.real_name);
  }
}

// Each address once, letter case ignored; the item's real name goes with
// each.
void Maker::AddEmails(const AddressItem& parsed) {
  for (const std::string_view address : parsed.addresses) {
    if (IsNewAddress(address)) contacts_.Add(Email{address, parsed.real_name});
  }
}

// The few addresses of most contacts are compared one by one; a contact
// with many keeps their lower-case forms in a set.
bool Maker::IsNewAddress(std::string_view address) {
  constexpr std::size_t kFewAddresses = 16;
  const std::size_t known = contacts_.EmailCount(self_);
  if (known < kFewAddresses) {
    for (std::size_t i = 0; i < known; ++i) {
      if (EqualIgnoringAsciiCase(contacts_.EmailOf(self_, i).address, address)) return false;
    }
    return true;
  }
  if (lower_addresses_.empty()) {
    for (std::size_t i = 0; i < known; ++i) {
      lower_addresses_.insert(AsciiLower(contacts_.EmailOf(self_, i).address));
    }
  }
  return lower_addresses_.insert(AsciiLower(address)).second;
}

void Maker::AddNote(std::string_view note_text) {
  PostalAddress home, work;
  ParseNoteText(note_text, note_parts_);
  for (const NotePart& part : note_parts_) {
    if (part.is_tag) {
      AddTag(part.keyword, part.text, home, work);
    } else if (const std::string_view text = Clean(part.text); !text.empty()) {
      contacts_.AddNote(text);
    }
  }
  contacts_.AddPostalAddress(home, false);
  contacts_.AddPostalAddress(work, true);
}

void Maker::AddTag(std::string_view keyword, std::string_view raw, PostalAddress& home,
                   PostalAddress& work) {
  const std::optional<PhoneKind> phone = KindOfTag(kPhoneTags, keyword);
  const std::optional<WebKind> web = KindOfTag(kWebTags, keyword);
  if (keyword == kOtherEmailTag) {
    for (const std::string_view value : SplitValues(raw)) {
      ParseAddressItem(value, parsed_);
      if (parsed_.addresses.empty()) AddTagNote(keyword, value);
      AddEmails(parsed_);
    }
    return;
  }
  if ((phone && HoldsSeveral(*phone)) || (web && HoldsSeveral(*web))) {
    for (const std::string_view value : SplitValues(raw)) {
      if (phone) contacts_.Add(Phone{*phone, value});
      if (web) contacts_.Add(WebPage{*web, value});
    }
    return;
  }
  const std::string_view value = Clean(raw);
  if (value.empty()) return;
  if (phone) return contacts_.Add(Phone{*phone, value});
  if (web) return contacts_.Add(WebPage{*web, value});
  const std::array<std::pair<std::string_view, std::string_view*>, 5> single{{
      {kNameTag, &name_},
      {kFirstNameTag, &first_},
      {kLastNameTag, &last_},
      {kTitleTag, &fields_.title},
      {kCompanyTag, &fields_.company},
  }};
  for (const auto& [tag, field] : single) {
    if (keyword == tag) return SetOnce(*field, keyword, value);
  }
  // The parts of the home and the work address; a part written twice in one
  // note keeps the first and puts the second into the notes.
  for (std::size_t part = 0; part < kPostalTags.size(); ++part) {
    for (const bool is_work : {false, true}) {
      if (keyword != (is_work ? kPostalTags[part].second : kPostalTags[part].first)) continue;
      PostalAddress& address = is_work ? work : home;  // (GCC 12 writes a copy of `a ? b : c`)
      return SetOnce(address.*kPostalMembers[part], keyword, value);
    }
  }
  AddTagNote(keyword, value);
}

void Maker::SetOnce(std::string_view& field, std::string_view keyword, std::string_view value) {
  if (field.empty()) {
    field = value;
  } else if (field != value) {
    AddTagNote(keyword, value);
  }
}

// "keyword: value" in the notes.
void Maker::AddTagNote(std::string_view keyword, std::string_view value) {
  std::string& note = made_texts_.emplace_back(keyword);
  contacts_.AddNote(note.append(": ").append(value));
}

// A value as a contact holds it: blanks, line breaks and markers at its ends
// go, a marker inside becomes "\n".
std::string_view Maker::Clean(std::string_view value) {
  while (!value.empty() && IsBlankOrBreak(value.front())) value.remove_prefix(1);
  while (!value.empty() && IsBlankOrBreak(value.back())) value.remove_suffix(1);
  if (value.find(kLineBreakMarker) == std::string_view::npos) return value;
  std::string& clean = made_texts_.emplace_back(value);
  std::replace(clean.begin(), clean.end(), kLineBreakMarker, '\n');
  return clean;
}

// The values of an "other..." tag, each clean and not empty: the marker
// separates them.
const std::vector<std::string_view>& Maker::SplitValues(std::string_view raw) {
  values_.clear();
  std::size_t start = 0;
  while (start <= raw.size()) {
    const std::size_t end = std::min(raw.find(kLineBreakMarker, start), raw.size());
    if (const std::string_view one = Clean(raw.substr(start, end - start)); !one.empty()) {
      values_.push_back(one);
    }
    start = end + 1;
  }
  return values_;
}

// A copy of `text` that lasts as long as the contact being made.
std::string_view Maker::Keep(std::string_view text) {
  return text.empty() ? std::string_view() : made_texts_.emplace_back(text);
}

// The display name: the note's name, else its first and last names, else
// the real name of an address, else the nickname, else the first address.
// The structured name comes from the first and last names, else from the
// display name split at its last blank; a list and a contact known only by
// its nickname or address have none.
void Maker::ChooseNames() {
  if (!first_.empty() || !last_.empty()) {
    fields_.given_name = first_;
    fields_.family_name = last_;
  }
  std::string_view first_last = first_.empty() ? last_ : first_;
  if (!first_.empty() && !last_.empty()) {
    first_last = made_texts_.emplace_back(first_).append(" ").append(last_);
  }
  for (const std::string_view name : {name_, first_last, real_name_}) {
    if (name.empty()) continue;
    fields_.full_name = name;
    if (fields_.given_name.empty() && fields_.family_name.empty() && !fields_.is_list) {
      SplitWrittenName(name, fields_);
    }
    return;
  }
  fields_.full_name = !nickname_.empty() ? nickname_
                      : contacts_.EmailCount(self_) == 0
                          ? std::string_view()
                          : Keep(contacts_.EmailOf(self_, 0).address);
}

}  // namespace

void MakeContacts(const std::vector<NicknameBook>& books, ContactTable& contacts,
                  std::vector<std::string>& warnings) {
  std::size_t records = 0;
  for (const NicknameBook& book : books) records += book.records.size();
  contacts.Reserve(contacts.size() + records);
  Maker maker(books, contacts, warnings);
  for (std::size_t book = 0; book < books.size(); ++book) {
    for (std::size_t record = 0; record < books[book].records.size(); ++record) {
      maker.Make(book, record);
    }
  }
}

}  // namespace veltrana
