#include "contacts/contact_links.h"

#include <algorithm>

namespace veltrana {

namespace {
constexpr std::size_t kBlockSize = 64 * 1024;
}  // namespace

std::string_view ContactLinks::Keep(std::string_view text) {
  if (text.empty()) return {};
  if (text.size() > block_left_) {
    const std::size_t size = std::max(kBlockSize, text.size());
    blocks_.emplace_back(new char[size]);
    block_next_ = blocks_.back().get();
    block_left_ = size;
  }
  char* const kept = block_next_;
  std::copy(text.begin(), text.end(), kept);
  block_next_ += text.size();
  block_left_ -= text.size();
  return {kept, text.size()};
}

void ContactLinks::Add(const Contact& contact) {
  Entry& entry = entries_.emplace_back();
  entry.nickname = Keep(contact.nickname);
  entry.full_name = Keep(contact.full_name);
  entry.uid = Keep(contact.uid);
  entry.first_email = emails_.size();
  entry.email_count = static_cast<std::uint32_t>(contact.emails.size());
  for (const std::string& email : contact.emails) emails_.push_back(Keep(email));
  entry.first_member = members_.size();
  entry.member_count = static_cast<std::uint32_t>(contact.members.size());
  members_.insert(members_.end(), contact.members.begin(), contact.members.end());
  entry.book = static_cast<std::uint32_t>(contact.book);
  entry.is_list = contact.is_list;
}

void ContactLinks::SetUid(std::size_t index, std::string_view uid) {
  entries_[index].uid = Keep(uid);
}

ContactLinks LinksOf(const std::vector<Contact>& contacts) {
  ContactLinks links;
  for (const Contact& contact : contacts) links.Add(contact);
  return links;
}

}  // namespace veltrana
