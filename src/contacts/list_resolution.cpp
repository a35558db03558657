#include "contacts/list_resolution.h"

#include <cstdint>
#include <unordered_set>

namespace veltrana {

namespace {

constexpr std::size_t kCyclePathShown = 12;  // names shown of a longer cycle

std::string AsciiLower(const std::string& text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 0x20);
  }
  return lower;
}

// Walks the members of one contact after another, without recursion (lists
// may nest as deep as the book is long). Marks carry the number of the walk
// that set them, so nothing is cleared between walks.
class Resolver {
 public:
  explicit Resolver(const std::vector<Contact>& contacts)
      : contacts_(contacts), visited_(contacts.size(), 0) {}

  std::vector<std::string> Resolve(std::size_t root, std::vector<std::string>& cycles);

 private:
  struct Step {
    std::size_t contact;
    std::size_t next_member = 0;
  };
  void Take(std::size_t contact, std::vector<std::string>& into);
  std::string CycleText(const std::vector<Step>& path, std::size_t root) const;

  const std::vector<Contact>& contacts_;
  std::vector<std::uint32_t> visited_;
  std::uint32_t walk_ = 0;
  std::unordered_set<std::string> seen_;
};

void Resolver::Take(std::size_t contact, std::vector<std::string>& into) {
  for (const std::string& address : contacts_[contact].emails) {
    if (seen_.insert(AsciiLower(address)).second) into.push_back(address);
  }
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
  seen_.clear();
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
    if (contacts[i].members.empty()) {
      resolution.addresses[i] = contacts[i].emails;
    } else {
      resolution.addresses[i] = resolver.Resolve(i, resolution.cycles);
    }
  }
  return resolution;
}

}  // namespace veltrana
