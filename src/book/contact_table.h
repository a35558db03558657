// The contacts of the books, kept for every contact at once and so kept
// small: per contact one fixed-size record of views into the books' text,
// and its addresses, members, phones, postal addresses, web pages and notes
// one after another in an array of each, where the record says its own
// begin. A contact is handed out as a Contact value of views into all that.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "book/contact.h"
#include "book/text_store.h"

namespace veltrana {

// The fields of a contact that hold one value each, and whether it is a list.
struct SingleFields {
  std::string_view full_name, given_name, family_name, title, company;
  bool is_list = false;
};

class ContactTable {
 public:
  [[nodiscard]] std::size_t size() const { return records_.size(); }
  // Contact `index`, in the order added.
  [[nodiscard]] Contact operator[](std::size_t index) const {
    const Record& r = records_[index];
    Contact c;
    c.nickname = r.nickname;
    c.full_name = r.fields.full_name;
    c.given_name = r.fields.given_name;
    c.family_name = r.fields.family_name;
    c.emails = Entries(emails_, kEmails, index);
    c.members = Entries(members_, kMembers, index);
    c.is_list = r.fields.is_list;
    c.phones = Entries(phones_, kPhones, index);
    c.home_addresses = Entries(home_addresses_, kHome, index);
    c.work_addresses = Entries(work_addresses_, kWork, index);
    c.web_pages = Entries(web_pages_, kWebPages, index);
    c.title = r.fields.title;
    c.company = r.fields.company;
    c.notes = Entries(notes_, kNotes, index);
    c.book = r.book;
    c.uid = r.uid;
    return c;
  }
  // How many contacts name another, all contacts together.
  [[nodiscard]] std::size_t MemberCount() const { return members_.size(); }

  // The texts the contacts are views into; every text they hold must be kept
  // here.
  TextStore& texts() { return texts_; }

  // Room for `contacts` contacts and an entry of each kind per contact, set
  // aside once and touched only as they come, rather than copied into ever
  // larger arrays (each page of fresh memory costs as much as reading a
  // kilobyte of the book).
  void Reserve(std::size_t contacts);

  // Adding a contact: Begin, then its addresses, members and other entries
  // in their order, then End with its single fields. The entries go to the
  // contact begun last.
  void Begin(std::string_view nickname, std::size_t book);
  void Add(const Email& email) { emails_.push_back(email); }
  void AddMember(std::size_t member) { members_.push_back(member); }
  void Add(const Phone& phone) { phones_.push_back(phone); }
  void Add(const WebPage& page) { web_pages_.push_back(page); }
  void AddNote(std::string_view note) { notes_.push_back(note); }
  // A home or work address, unless it is empty or the contact has it already.
  void AddPostalAddress(const PostalAddress& address, bool work);
  void End(const SingleFields& fields) { records_.back().fields = fields; }
  // The addresses of the contact begun last, so far.
  [[nodiscard]] std::span<const Email> LastEmails() const;

  void SetUid(std::size_t index, const UidBytes& uid) { records_[index].uid = uid; }

 private:
  // Where each array's entries of a contact begin; they end where the next
  // contact's begin.
  enum Array { kEmails, kMembers, kPhones, kHome, kWork, kWebPages, kNotes, kArrays };
  // 152 bytes, as a book has many: a book of 2^32 entries of a kind or more
  // is refused (std::length_error).
  struct Record {
    std::string_view nickname;
    SingleFields fields;
    std::uint32_t begin[kArrays] = {};
    std::uint32_t book = 0;
    UidBytes uid{};
  };
  template <typename Entry>
  std::span<const Entry> Entries(const std::vector<Entry>& array, Array which,
                                 std::size_t index) const {
    const std::size_t begin = records_[index].begin[which];
    const std::size_t end =
        index + 1 < records_.size() ? records_[index + 1].begin[which] : array.size();
    return {array.data() + begin, end - begin};
  }

  std::vector<Record> records_;
  std::vector<Email> emails_;
  std::vector<std::size_t> members_;
  std::vector<Phone> phones_;
  std::vector<PostalAddress> home_addresses_, work_addresses_;
  std::vector<WebPage> web_pages_;
  std::vector<std::string_view> notes_;
  TextStore texts_;
};

}  // namespace veltrana
