// The contacts of the books, kept for every contact at once and so kept
// small. A text a contact holds is kept as where it stands, in eight bytes:
// in its book's text, or, for a text the reading made (a value whose line
// breaks are written anew, a "tag: value" note), in the table's own. Per
// contact there is one fixed-size record, and its addresses, members,
// phones, postal addresses, web pages and notes stand one after another in
// an array of each, where the record says its own begin. A contact is
// handed out as a Contact value of views.
//
// Each page of memory a run touches first costs it about as much as
// reading a kilobyte of the book, so this is where the export's time goes:
// a book of 32,000 entries keeps some 180 bytes a contact here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "book/contact.h"
#include "book/text_store.h"

namespace veltrana {

// The fields of a contact that hold one value each, and whether it is a list.
struct SingleFields {
  std::string_view full_name, given_name, family_name, name_suffix, title, company;
  bool is_list = false;
};

class ContactTable {
 public:
  [[nodiscard]] std::size_t size() const { return records_.size(); }
  // Contact `index`, in the order added, into `contact`, whose room is
  // reused.
  void Get(std::size_t index, Contact& contact) const;

  [[nodiscard]] ContactIdentity IdentityOf(std::size_t index) const;
  // For a writer going through the contacts in `order` (not book order),
  // now at `at`: asks the processor for what Get will read of the contacts
  // a few places on, so that it is at hand when their turn comes.
  void FetchAhead(std::span<const std::size_t> order, std::size_t at) const;

  // What list resolution and the UIDs ask of every contact.
  [[nodiscard]] std::string_view Nickname(std::size_t index) const;
  [[nodiscard]] std::size_t Book(std::size_t index) const { return records_[index].book; }
  [[nodiscard]] bool IsList(std::size_t index) const { return records_[index].is_list; }
  [[nodiscard]] std::span<const std::size_t> Members(std::size_t index) const {
    return Entries(members_, kMembers, index);
  }
  [[nodiscard]] std::size_t EmailCount(std::size_t index) const {
    return Entries(emails_, kEmails, index).size();
  }
  // Its address `which` (of EmailCount).
  [[nodiscard]] Email EmailOf(std::size_t index, std::size_t which) const;
  // How many contacts name another, all contacts together.
  [[nodiscard]] std::size_t MemberCount() const { return members_.size(); }

  // The books' texts, which the contacts' texts stand in; they must be
  // adopted here, in the order of the books, before their contacts come.
  std::string_view AdoptBook(std::string&& text);

  // Room for `contacts` contacts and an entry of each kind per contact, set
  // aside once and touched only as they come, rather than copied into ever
  // larger arrays.
  void Reserve(std::size_t contacts);

  // Adding a contact of book `book`: Begin, then its addresses, members and
  // other entries in their order, then End with its single fields. The
  // entries go to the contact begun last. A text given that does not stand
  // in the book's text is copied.
  void Begin(std::string_view nickname, std::size_t book);
  void Add(const Email& email) { emails_.push_back({Ref(email.address), Ref(email.real_name)}); }
  void AddMember(std::size_t member) { members_.push_back(member); }
  void Add(const Phone& phone) { phones_.push_back({phone.kind, Ref(phone.number)}); }
  void Add(const WebPage& page) { web_pages_.push_back({page.kind, Ref(page.url)}); }
  void AddNote(std::string_view note) { notes_.push_back(Ref(note)); }
  // A home or work address, unless it is empty or the contact has it already.
  void AddPostalAddress(const PostalAddress& address, bool work);
  void End(const SingleFields& fields);

  void SetUid(std::size_t index, const UidBytes& uid) { records_[index].uid = uid; }

 private:
  // Where a text stands: with kMade set, in made_; else in its contact's
  // book. Books and made_ of 2^31 bytes or more are refused
  // (std::length_error). A text already in made_ is not copied again.
  struct TextRef {
    static constexpr std::uint32_t kMade = 0x80000000;
    std::uint32_t at = 0, size = 0;
  };
  struct StoredEmail {
    TextRef address, real_name;
  };
  struct StoredPhone {
    PhoneKind kind;
    TextRef number;
  };
  struct StoredWebPage {
    WebKind kind;
    TextRef url;
  };
  using StoredAddress = std::array<TextRef, 5>;  // in the order of PostalPart
  enum Array { kEmails, kMembers, kPhones, kHome, kWork, kWebPages, kNotes, kArrays };
  struct Record {
    TextRef nickname, full_name, given_name, family_name, name_suffix, title, company;
    std::uint32_t begin[kArrays] = {};
    std::uint32_t book = 0;
    UidBytes uid{};
    bool is_list = false;
  };

  TextRef Ref(std::string_view text);
  std::string_view View(TextRef ref, std::size_t book) const;
  StoredAddress Stored(const PostalAddress& address);
  PostalAddress Viewed(const StoredAddress& address, std::size_t book) const;

  template <typename Entry>
  std::span<const Entry> Entries(const std::vector<Entry>& array, Array which,
                                 std::size_t index) const {
    const std::size_t begin = records_[index].begin[which];
    const std::size_t end =
        index + 1 < records_.size() ? records_[index + 1].begin[which] : array.size();
    return {array.data() + begin, end - begin};
  }

  std::vector<Record> records_;
  std::vector<StoredEmail> emails_;
  std::vector<std::size_t> members_;
  std::vector<StoredPhone> phones_;
  std::vector<StoredAddress> home_addresses_, work_addresses_;
  std::vector<StoredWebPage> web_pages_;
  std::vector<TextRef> notes_;
  std::vector<std::string_view> books_;  // per book, its text, kept in texts_
  TextStore texts_;
  std::string made_;  // the texts the reading made, one after another
};

}  // namespace veltrana
