#include "book/contact_table.h"

#include <algorithm>
#include <stdexcept>

namespace veltrana {

std::span<const Email> ContactTable::LastEmails() const {
  return Entries(emails_, kEmails, size() - 1);
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
  // A size fits 32 bits when nothing is left above them (two shifts, which
  // a 32-bit size_t takes too).
  const std::size_t sizes[kArrays] = {
      emails_.size(),         members_.size(),   phones_.size(), home_addresses_.size(),
      work_addresses_.size(), web_pages_.size(), notes_.size()};
  Record& r = records_.emplace_back();
  r.nickname = nickname;
  for (std::size_t array = 0; array < kArrays; ++array) {
    if ((sizes[array] >> 16 >> 16) != 0 || (book >> 16 >> 16) != 0) {
      records_.pop_back();
      throw std::length_error("the books hold more entries than can be read");
    }
    r.begin[array] = static_cast<std::uint32_t>(sizes[array]);
  }
  r.book = static_cast<std::uint32_t>(book);
}

void ContactTable::AddPostalAddress(const PostalAddress& address, bool work) {
  if (address == PostalAddress{}) return;
  std::vector<PostalAddress>& to = work ? work_addresses_ : home_addresses_;
  const auto own =
      to.begin() + static_cast<std::ptrdiff_t>(records_.back().begin[work ? kWork : kHome]);
  if (std::find(own, to.end(), address) == to.end()) to.push_back(address);
}

}  // namespace veltrana
