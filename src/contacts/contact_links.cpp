#include "contacts/contact_links.h"

namespace veltrana {

void ContactLinks::Add(const Contact& contact, std::string_view real_name, bool whole) {
  Entry& entry = entries_.emplace_back();
  entry.nickname = texts_.Keep(contact.nickname);
  entry.real_name = texts_.Keep(real_name);
  entry.whole = whole;
  entry.first_email = emails_.size();
  entry.email_count = static_cast<std::uint32_t>(contact.emails.size());
  for (std::size_t e = 0; e < contact.emails.size(); ++e) {
    emails_.push_back(texts_.Keep(contact.emails[e]));
    email_names_.push_back(
        texts_.Keep(e < contact.email_names.size() ? contact.email_names[e] : std::string()));
  }
  entry.first_member = members_.size();
  entry.member_count = static_cast<std::uint32_t>(contact.members.size());
  members_.insert(members_.end(), contact.members.begin(), contact.members.end());
  entry.book = static_cast<std::uint32_t>(contact.book);
  entry.is_list = contact.is_list;
}

void ContactLinks::SetUid(std::size_t index, const UidBytes& uid) {
  if (uids_.size() != entries_.size()) uids_.resize(entries_.size());
  uids_[index] = uid;
}

}  // namespace veltrana
