// What each contact of the export is to the others: the little that lists,
// members and distinguished names need of a contact other than the one being
// written. Kept for every contact of the books at once, so it is kept small:
// fixed-size entries, the texts one after another in large blocks, the
// addresses and members of all contacts in two arrays.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "contacts/contact.h"
#include "contacts/contact_uid.h"
#include "contacts/text_store.h"

namespace veltrana {

class ContactLinks {
 public:
  // Keeps what the others need of `contact`, the next contact, and what its
  // own building again can take from here: the real name its addresses
  // gave (`real_name`), unless it is to be built `whole` again (its alias
  // lines hold more than addresses and members).
  void Add(const Contact& contact, std::string_view real_name = {}, bool whole = true);
  void SetUid(std::size_t index, const UidBytes& uid);
  // Room for `contacts` entries, and an address each: set aside, touched
  // only as they come, instead of copied to ever larger arrays.
  void Reserve(std::size_t contacts) {
    entries_.reserve(contacts);
    emails_.reserve(contacts);
    email_names_.reserve(contacts);
  }

  std::size_t size() const { return entries_.size(); }
  std::string_view nickname(std::size_t i) const { return entries_[i].nickname; }
  // Its UID (only once the contacts have been given them), and as text
  // appended to `out` (nothing when they have none).
  const UidBytes& uid(std::size_t i) const { return uids_[i]; }
  void AppendUid(std::size_t i, std::string& out) const {
    if (!uids_.empty()) AppendUidText(uids_[i], out);
  }
  std::string_view real_name(std::size_t i) const { return entries_[i].real_name; }
  bool whole(std::size_t i) const { return entries_[i].whole; }
  bool is_list(std::size_t i) const { return entries_[i].is_list; }
  std::size_t book(std::size_t i) const { return entries_[i].book; }
  // Its own addresses, in order.
  std::span<const std::string_view> emails(std::size_t i) const {
    return {emails_.data() + entries_[i].first_email, entries_[i].email_count};
  }
  // Per address of its own, the real name written with it ("" when none).
  std::span<const std::string_view> email_names(std::size_t i) const {
    return {email_names_.data() + entries_[i].first_email, entries_[i].email_count};
  }
  // Where its addresses stand among all contacts' addresses (0 to EmailCount()).
  std::size_t first_email(std::size_t i) const { return entries_[i].first_email; }
  std::size_t EmailCount() const { return emails_.size(); }
  std::size_t MemberCount() const { return members_.size(); }  // all contacts' together
  // The contacts it names (indexes), each once.
  std::span<const std::size_t> members(std::size_t i) const {
    return {members_.data() + entries_[i].first_member, entries_[i].member_count};
  }

 private:
  struct Entry {
    std::string_view nickname, real_name;
    std::size_t first_email = 0, first_member = 0;
    std::uint32_t email_count = 0, member_count = 0;
    std::uint32_t book = 0;
    bool is_list = false;
    bool whole = true;
  };
  std::vector<Entry> entries_;
  std::vector<UidBytes> uids_;  // per entry, once given
  std::vector<std::string_view> emails_, email_names_;
  std::vector<std::size_t> members_;
  TextStore texts_;
};

}  // namespace veltrana
