#include "book/contact_table.h"

#include <algorithm>
#include <functional>
#include <stdexcept>

namespace veltrana {

namespace {

// Whether a size fits 31 bits: nothing is left above them (shifts that a
// 32-bit size_t takes too).
bool Fits31Bits(std::size_t size) {
  return (size >> 16 >> 15) == 0;
}

}  // namespace

std::string_view ContactTable::AdoptBook(std::string&& text) {
  if (!Fits31Bits(text.size())) {
    throw std::length_error("a book is larger than can be exported");
  }
  return books_.emplace_back(texts_.Adopt(std::move(text)));
}

ContactTable::TextRef ContactTable::Ref(std::string_view text) {
  if (text.empty()) return {};
  const auto within = [&text](std::string_view whole) {
    const std::less_equal<const char*> not_after;
    return not_after(whole.data(), text.data()) &&
           not_after(text.data() + text.size(), whole.data() + whole.size());
  };
  const std::string_view book = books_[records_.back().book];
  if (within(book)) {
    return {static_cast<std::uint32_t>(text.data() - book.data()),
            static_cast<std::uint32_t>(text.size())};
  }
  if (within(made_)) {
    return {static_cast<std::uint32_t>(text.data() - made_.data()) | TextRef::kMade,
            static_cast<std::uint32_t>(text.size())};
  }
  if (!Fits31Bits(made_.size() + text.size())) {
    throw std::length_error("the books hold more text than can be exported");
  }
  const auto at = static_cast<std::uint32_t>(made_.size());
  made_.append(text);
  return {at | TextRef::kMade, static_cast<std::uint32_t>(text.size())};
}

std::string_view ContactTable::View(TextRef ref, std::size_t book) const {
  if (ref.size == 0) return {};
  if ((ref.at & TextRef::kMade) != 0) return {made_.data() + (ref.at & ~TextRef::kMade), ref.size};
  return books_[book].substr(ref.at, ref.size);
}

ContactTable::StoredAddress ContactTable::Stored(const PostalAddress& address) {
  StoredAddress stored;
  for (std::size_t part = 0; part < stored.size(); ++part) {
    stored[part] = Ref(address.*kPostalMembers[part]);
  }
  return stored;
}

PostalAddress ContactTable::Viewed(const StoredAddress& address, std::size_t book) const {
  PostalAddress viewed;
  for (std::size_t part = 0; part < address.size(); ++part) {
    viewed.*kPostalMembers[part] = View(address[part], book);
  }
  return viewed;
}

void ContactTable::Get(std::size_t index, Contact& c) const {
  const Record& r = records_[index];
  const std::size_t book = r.book;
  c.nickname = View(r.nickname, book);
  c.full_name = View(r.full_name, book);
  c.given_name = View(r.given_name, book);
  c.family_name = View(r.family_name, book);
  c.name_suffix = View(r.name_suffix, book);
  c.title = View(r.title, book);
  c.company = View(r.company, book);
  c.is_list = r.is_list;
  c.book = book;
  c.uid = r.uid;
  c.emails.clear();
  for (const StoredEmail& e : Entries(emails_, kEmails, index)) {
    c.emails.push_back({View(e.address, book), View(e.real_name, book)});
  }
  const std::span<const std::size_t> members = Members(index);
  c.members.assign(members.begin(), members.end());
  c.phones.clear();
  for (const StoredPhone& p : Entries(phones_, kPhones, index)) {
    c.phones.push_back({p.kind, View(p.number, book)});
  }
  c.home_addresses.clear();
  for (const StoredAddress& a : Entries(home_addresses_, kHome, index)) {
    c.home_addresses.push_back(Viewed(a, book));
  }
  c.work_addresses.clear();
  for (const StoredAddress& a : Entries(work_addresses_, kWork, index)) {
    c.work_addresses.push_back(Viewed(a, book));
  }
  c.web_pages.clear();
  for (const StoredWebPage& w : Entries(web_pages_, kWebPages, index)) {
    c.web_pages.push_back({w.kind, View(w.url, book)});
  }
  c.notes.clear();
  for (const TextRef note : Entries(notes_, kNotes, index)) c.notes.push_back(View(note, book));
}

ContactIdentity ContactTable::IdentityOf(std::size_t index) const {
  const Record& r = records_[index];
  return {View(r.nickname, r.book), View(r.full_name, r.book), r.is_list, r.uid};
}

// Two steps: a record far ahead, then, once it is near, the entries and
// text it leads to (a contact's texts mostly stand on its own lines of the
// book, from its nickname on). Only within the arrays and texts: these are
// hints, and must not point anywhere else.
void ContactTable::FetchAhead(std::span<const std::size_t> order, std::size_t at) const {
  static constexpr std::size_t kRecordAhead = 16;
  static constexpr std::size_t kContentsAhead = 8;
  static constexpr std::size_t kLine = 64;
  const auto fetch = [](const void* where, std::size_t bytes) {
    const auto* from = static_cast<const char*>(where);
    for (std::size_t offset = 0; offset < bytes; offset += kLine) __builtin_prefetch(from + offset);
    if (bytes > 0) __builtin_prefetch(from + bytes - 1);
  };
  if (at + kRecordAhead < order.size()) {
    const std::size_t index = order[at + kRecordAhead];
    // Get reads the next record's start of each array too.
    fetch(&records_[index], std::min<std::size_t>(2, records_.size() - index) * sizeof(Record));
  }
  if (at + kContentsAhead >= order.size()) return;
  const Record& r = records_[order[at + kContentsAhead]];
  const auto entries = [&](const auto& array, Array which) {
    if (r.begin[which] < array.size()) fetch(&array[r.begin[which]], kLine);
  };
  entries(emails_, kEmails);
  entries(phones_, kPhones);
  entries(home_addresses_, kHome);
  entries(notes_, kNotes);
  const std::string_view text =
      (r.nickname.at & TextRef::kMade) != 0 ? std::string_view(made_) : books_[r.book];
  const std::size_t start = r.nickname.at & ~TextRef::kMade;
  if (start < text.size()) fetch(text.data() + start, std::min(4 * kLine, text.size() - start));
}

std::string_view ContactTable::Nickname(std::size_t index) const {
  return View(records_[index].nickname, records_[index].book);
}

Email ContactTable::EmailOf(std::size_t index, std::size_t which) const {
  const StoredEmail& e = Entries(emails_, kEmails, index)[which];
  const std::size_t book = records_[index].book;
  return {View(e.address, book), View(e.real_name, book)};
}

void ContactTable::Reserve(std::size_t contacts) {
  records_.reserve(contacts);
  emails_.reserve(contacts);
  phones_.reserve(contacts);
  home_addresses_.reserve(contacts);
  work_addresses_.reserve(contacts);
  web_pages_.reserve(contacts);
  notes_.reserve(contacts);
}

void ContactTable::Begin(std::string_view nickname, std::size_t book) {
  const std::size_t sizes[kArrays] = {
      emails_.size(),         members_.size(),   phones_.size(), home_addresses_.size(),
      work_addresses_.size(), web_pages_.size(), notes_.size()};
  if (std::any_of(std::begin(sizes), std::end(sizes),
                  [](std::size_t size) { return !Fits31Bits(size); })) {
    throw std::length_error("the books hold more entries than can be exported");
  }
  Record& r = records_.emplace_back();
  r.book = static_cast<std::uint32_t>(book);
  for (std::size_t array = 0; array < kArrays; ++array) {
    r.begin[array] = static_cast<std::uint32_t>(sizes[array]);
  }
  r.nickname = Ref(nickname);
}

void ContactTable::AddPostalAddress(const PostalAddress& address, bool work) {
  if (address == PostalAddress{}) return;
  std::vector<StoredAddress>& to = work ? work_addresses_ : home_addresses_;
  const std::size_t book = records_.back().book;
  const auto own =
      to.begin() + static_cast<std::ptrdiff_t>(records_.back().begin[work ? kWork : kHome]);
  if (std::none_of(own, to.end(),
                   [&](const StoredAddress& known) { return Viewed(known, book) == address; })) {
    to.push_back(Stored(address));
  }
}

void ContactTable::End(const SingleFields& fields) {
  Record& r = records_.back();
  r.full_name = Ref(fields.full_name);
  r.given_name = Ref(fields.given_name);
  r.family_name = Ref(fields.family_name);
  r.name_suffix = Ref(fields.name_suffix);
  r.title = Ref(fields.title);
  r.company = Ref(fields.company);
  r.is_list = fields.is_list;
}

}  // namespace veltrana
