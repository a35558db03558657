#include "contacts/list_resolution.h"

#include <cstdint>
#include <unordered_map>

#include "contacts/utf8_text.h"

namespace veltrana {

namespace {

constexpr std::size_t kCyclePathShown = 12;  // names shown of a longer cycle

// Walks the members of one contact after another, without recursion (lists
// may nest as deep as the book is long). Marks carry the number of the walk
// that set them, so nothing is cleared between walks. An address is known
// by a number that its lower-cased form gets the first time it is met.
class Resolver {
 public:
  explicit Resolver(const std::vector<Contact>& contacts)
      : contacts_(contacts), visited_(contacts.size(), 0), numbers_(contacts.size()) {}

  std::vector<std::string> Resolve(std::size_t root, std::vector<std::string>& cycles);

 private:
  struct Step {
    std::size_t contact;
    std::size_t next_member = 0;
  };
  void Take(std::size_t contact, std::vector<std::string>& into);
  const std::vector<std::size_t>& AddressNumbers(std::size_t contact);
  std::string CycleText(const std::vector<Step>& path, std::size_t root) const;

  const std::vector<Contact>& contacts_;
  std::vector<std::uint32_t> visited_;
  std::uint32_t walk_ = 0;
  std::unordered_map<std::string, std::size_t> address_numbers_;  // by lower-cased address
  std::vector<std::vector<std::size_t>> numbers_;                 // per contact, per address
  std::vector<std::uint32_t> seen_;                               // per address number
};

void Resolver::Take(std::size_t contact, std::vector<std::string>& into) {
  const std::vector<std::string>& emails = contacts_[contact].emails;
  const std::vector<std::size_t>& numbers = AddressNumbers(contact);
  for (std::size_t i = 0; i < emails.size(); ++i) {
    if (seen_[numbers[i]] == walk_) continue;
    seen_[numbers[i]] = walk_;
    into.push_back(emails[i]);
  }
}

// The numbers of a contact's addresses, given the first time it is taken.
const std::vector<std::size_t>& Resolver::AddressNumbers(std::size_t contact) {
  std::vector<std::size_t>& numbers = numbers_[contact];
  const std::vector<std::string>& emails = contacts_[contact].emails;
  if (numbers.size() == emails.size()) return numbers;
  numbers.reserve(emails.size());
  for (const std::string& address : emails) {
    const auto [where, added] = address_numbers_.try_emplace(AsciiLower(address), seen_.size());
    if (added) seen_.push_back(0);
    numbers.push_back(where->second);
  }
  return numbers;
}

std::string Resolver::CycleText(const std::vector<Step>& path, std::size_t root) const {
  std::string text;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (i == kCyclePathShown && path.size() > kCyclePathShown + 1) {
      text += "... -> ";
      i = path.size() - 1;
    }
    text += contacts_[path[i].contact].nickname + " -> ";
  }
  return text + contacts_[root].nickname;
}

std::vector<std::string> Resolver::Resolve(std::size_t root, std::vector<std::string>& cycles) {
  ++walk_;
  std::vector<std::string> addresses;
  bool cycle_reported = false;
  std::vector<Step> path{{root}};
  visited_[root] = walk_;
  Take(root, addresses);
  while (!path.empty()) {
    Step& step = path.back();
    const std::vector<std::size_t>& members = contacts_[step.contact].members;
    if (step.next_member == members.size()) {
      path.pop_back();
      continue;
    }
    const std::size_t member = members[step.next_member++];
    if (member == root && !cycle_reported) {
      cycles.push_back(CycleText(path, root));
      cycle_reported = true;
    }
    if (visited_[member] == walk_) continue;
    visited_[member] = walk_;
    Take(member, addresses);
    path.push_back({member});
  }
  return addresses;
}

}  // namespace

ListResolution ResolveLists(const std::vector<Contact>& contacts) {
  ListResolution resolution;
  resolution.addresses.resize(contacts.size());
  Resolver resolver(contacts);
  for (std::size_t i = 0; i < contacts.size(); ++i) {
    if (!contacts[i].members.empty())
      resolution.addresses[i] = resolver.Resolve(i, resolution.cycles);
  }
  return resolution;
}

const std::vector<std::string>& AddressesOf(const std::vector<Contact>& contacts,
                                            const ListResolution& resolution, std::size_t index) {
  return contacts[index].members.empty() ? contacts[index].emails : resolution.addresses[index];
}

}  // namespace veltrana
