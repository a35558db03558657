// One contact of the export: what one nickname of the book holds, sorted
// into the fields address books know. Texts are UTF-8; a line break inside a
// value is "\n".
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace veltrana {

struct PostalAddress {
  std::string street;  // the "address" tag: street lines, or the whole address
  std::string city;
  std::string region;  // the "state" tag
  std::string postal_code;
  std::string country;

  bool operator==(const PostalAddress&) const = default;
};

// The "mobile2" and "fax2" tags are the work mobile and the work fax.
enum class PhoneKind { kHome, kWork, kMobile, kFax, kOther, kWorkMobile, kWorkFax };
enum class WebKind { kHome, kWork, kOther };

struct Phone {
  PhoneKind kind;
  std::string number;
  bool operator==(const Phone&) const = default;
};

struct WebPage {
  WebKind kind;
  std::string url;
  bool operator==(const WebPage&) const = default;
};

struct Contact {
  std::string nickname;
  std::string full_name;
  std::string given_name;
  std::string family_name;
  // Its own addresses: those of its alias lines, then its "otheremail" tags.
  std::vector<std::string> emails;
  // Per address, the real name written with it ("" when none).
  std::vector<std::string> email_names;
  // The contacts its alias lines name (indexes into the book), each once.
  std::vector<std::size_t> members;
  // Every item of its alias lines names another contact: a distribution list.
  bool is_list = false;
  std::vector<Phone> phones;
  std::vector<PostalAddress> home_addresses;
  std::vector<PostalAddress> work_addresses;
  std::vector<WebPage> web_pages;
  std::string title;
  std::string company;
  // The free text, then "tag: value" for every tag that has no field of its
  // own (an unknown tag, a second name), each entry one or more lines.
  std::vector<std::string> notes;
  std::size_t book = 0;  // which of the books read it comes from

  bool operator==(const Contact&) const = default;
};

// "email: Real Name <address>" for each of the contact's own addresses
// written with a real name other than its display name, which no address
// book keeps beside the address itself.
std::vector<std::string> EmailNameNotes(const Contact& contact);

}  // namespace veltrana
