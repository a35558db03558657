// One contact of the export: what one nickname of the book holds, sorted
// into the fields address books know, as a plain value whose texts are views
// into the book's (UTF-8; a line break inside a value is "\n"). Valid as
// long as the ContactBook it came from.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

#include "book/contact_uid.h"
#include "book/field_tags.h"

namespace veltrana {

struct Email {
  std::string_view address;
  // The real name the contact's own lines write with it; "" when none, and
  // for an address the contact has through the contacts it names.
  std::string_view real_name;
};

struct Phone {
  PhoneKind kind;
  std::string_view number;
};

struct WebPage {
  WebKind kind;
  std::string_view url;
};

struct PostalAddress {
  std::string_view street;  // the "address" tag: street lines, or the whole address
  std::string_view city;
  std::string_view region;  // the "state" tag
  std::string_view postal_code;
  std::string_view country;

  bool operator==(const PostalAddress&) const = default;
};

// The member that holds each part, in the order of PostalPart.
inline constexpr std::array<std::string_view PostalAddress::*, 5> kPostalMembers{
    &PostalAddress::street, &PostalAddress::city, &PostalAddress::region,
    &PostalAddress::postal_code, &PostalAddress::country};

struct Contact {
  std::string_view nickname;  // as first written, blanks trimmed
  std::string_view full_name;
  std::string_view given_name;
  std::string_view family_name;
  // What follows the name after a comma or a blank: "Jr.", "III", "PhD".
  std::string_view name_suffix;
  // Its own addresses: those of its alias lines, then its "otheremail"
  // tags', each once (letter case ignored).
  std::vector<Email> emails;
  // The contacts its alias lines name (their indexes in the book), each once.
  std::vector<std::size_t> members;
  // Every item of its alias lines names another contact: a distribution list.
  bool is_list = false;
  std::vector<Phone> phones;
  std::vector<PostalAddress> home_addresses;
  std::vector<PostalAddress> work_addresses;
  std::vector<WebPage> web_pages;
  std::string_view title;
  std::string_view company;
  // The free text, then "tag: value" for every tag that has no field of its
  // own (an unknown tag, a second name), each entry one or more lines; an
  // alias item that is neither an address nor a nickname first.
  std::vector<std::string_view> notes;
  std::size_t book = 0;  // which of the books read it comes from
  UidBytes uid{};        // the same in every export of the same books
};

// What names a contact, for a writer that refers to one from another: a
// list's member, a DN.
struct ContactIdentity {
  std::string_view nickname;
  std::string_view full_name;
  bool is_list = false;
  UidBytes uid{};
};

}  // namespace veltrana
