#include "contacts/contact_links.h"

namespace veltrana {

void ContactLinks::Add(const Contact& contact) {
  Entry& entry = entries_.emplace_back();
  entry.nickname = texts_.Keep(contact.nickname);
  entry.full_name = texts_.Keep(contact.full_name);
  entry.uid = texts_.Keep(contact.uid);
  entry.first_email = emails_.size();
  entry.email_count = static_cast<std::uint32_t>(contact.emails.size());
  for (const std::string& email : contact.emails) emails_.push_back(texts_.Keep(email));
  entry.first_member = members_.size();
  entry.member_count = static_cast<std::uint32_t>(contact.members.size());
  members_.insert(members_.end(), contact.members.begin(), contact.members.end());
  entry.book = static_cast<std::uint32_t>(contact.book);
  entry.is_list = contact.is_list;
}

void ContactLinks::SetUid(std::size_t index, std::string_view uid) {
  entries_[index].uid = texts_.Keep(uid);
}

ContactLinks LinksOf(const std::vector<Contact>& contacts) {
  ContactLinks links;
  for (const Contact& contact : contacts) links.Add(contact);
  return links;
}

}  // namespace veltrana
