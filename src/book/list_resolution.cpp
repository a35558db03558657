#include "book/list_resolution.h"

#include <algorithm>
#include <cstdint>
#include <span>
#include <unordered_set>
#include <utility>

#include "text/utf8_text.h"

namespace veltrana {

constexpr std::size_t kNone = kNoContact;
constexpr std::size_t kCyclePathShown = 12;  // names shown of a longer cycle

std::vector<std::size_t> ChainEnds(const ContactTable& contacts,
                                   const std::function<bool(std::size_t)>& passes_on) {
  enum class State { kOpen, kOnChain, kSettled };
  std::vector<std::size_t> stands_for(contacts.size(), kNone);
  std::vector<State> state(contacts.size(), State::kOpen);
  std::vector<std::size_t> chain;
  for (std::size_t start = 0; start < contacts.size(); ++start) {
    std::size_t at = start;
    while (state[at] == State::kOpen && passes_on(at)) {
      state[at] = State::kOnChain;
      chain.push_back(at);
      at = contacts.Members(at).front();
    }
    if (state[at] == State::kOpen) {
      stands_for[at] = at;
      state[at] = State::kSettled;
    }
    // Met again on the same chain: a ring, which stands for no one.
    const std::size_t end = state[at] == State::kOnChain ? kNone : stands_for[at];
    for (const std::size_t link : chain) {
      stands_for[link] = end;
      state[link] = State::kSettled;
    }
    chain.clear();
  }
  return stands_for;
}

namespace {

// The strongly connected components of the lists' naming (Tarjan's, without
// recursion): per contact, the number of its component.
std::vector<std::size_t> Components(const ContactTable& contacts) {
  const std::size_t n = contacts.size();
  std::vector<std::size_t> order(n, kNone), low(n, 0), component(n, kNone);
  std::vector<std::size_t> open;                          // met, component not yet known
  std::vector<std::pair<std::size_t, std::size_t>> path;  // contact, next member
  std::size_t met = 0, components = 0;
  for (std::size_t start = 0; start < n; ++start) {
    if (order[start] != kNone) continue;
    order[start] = low[start] = met++;
    open.push_back(start);
    path.emplace_back(start, 0);
    while (!path.empty()) {
      const std::size_t at = path.back().first;
      const std::span<const std::size_t> members = contacts.Members(at);
      if (path.back().second < members.size()) {
        const std::size_t member = members[path.back().second++];
        if (order[member] == kNone) {
          order[member] = low[member] = met++;
          open.push_back(member);
          path.emplace_back(member, 0);
        } else if (component[member] == kNone) {
          low[at] = std::min(low[at], order[member]);
        }
        continue;
      }
      if (low[at] == order[at]) {
        std::size_t taken = kNone;
        while (taken != at) {
          taken = open.back();
          open.pop_back();
          component[taken] = components;
        }
        ++components;
      }
      path.pop_back();
      if (!path.empty()) low[path.back().first] = std::min(low[path.back().first], low[at]);
    }
  }
  return component;
}

// "a -> b -> a" for the path `at(0)` ... `at(length - 1)` that leads back to
// its first contact, a long one shortened to its start and its end.
template <typename At>
std::string CycleText(const ContactTable& contacts, std::size_t length, const At& at) {
  std::string text;
  for (std::size_t i = 0; i < length; ++i) {
    if (i == kCyclePathShown && length > kCyclePathShown + 1) {
      text += "... -> ";
      i = length - 1;
    }
    text.append(contacts.Nickname(at(i))).append(" -> ");
  }
  return text.append(contacts.Nickname(at(0)));
}

// Per contact that leads back to itself, in the book's order, the path on
// which the walk of its members, depth first in the order written, first
// comes back to it. Only the contacts of its own component can lead back,
// so the walk keeps to them; where each of those names just one other of
// them they form a ring, whose paths are read off without a walk.
std::vector<std::string> CycleTexts(const ContactTable& contacts, std::vector<bool>& on_cycle) {
  const std::vector<std::size_t> component = Components(contacts);
  const std::size_t n = contacts.size();
  std::vector<std::size_t> size, inside(n, 0);  // per component; per contact, members in it
  for (std::size_t i = 0; i < n; ++i) {
    if (component[i] >= size.size()) size.resize(component[i] + 1, 0);
    ++size[component[i]];
    for (const std::size_t m : contacts.Members(i)) inside[i] += component[m] == component[i];
  }
  std::vector<bool> ring(size.size(), true);
  for (std::size_t i = 0; i < n; ++i) ring[component[i]] = ring[component[i]] && inside[i] == 1;
  const auto next_inside = [&](std::size_t c) {
    for (const std::size_t m : contacts.Members(c)) {
      if (component[m] == component[c]) return m;
    }
    return kNone;
  };

  std::vector<std::string> cycles;
  on_cycle.assign(n, false);
  std::vector<std::size_t> ring_order;          // the rings met, one after another
  std::vector<std::size_t> position(n, kNone);  // per contact of a ring, where in ring_order
  std::vector<std::size_t> ring_first(size.size(), kNone);  // per ring, where it begins
  std::vector<std::size_t> visited(n, 0);                   // the number of the walk that met it
  std::size_t walk = 0;
  struct Step {
    std::size_t contact;
    std::size_t next_member = 0;
  };
  std::vector<Step> path;
  for (std::size_t root = 0; root < n; ++root) {
    if (inside[root] == 0) continue;  // no way back
    on_cycle[root] = true;  // a member in its own component leads back to it
    const std::size_t length = size[component[root]];
    if (ring[component[root]]) {
      if (position[root] == kNone) {
        ring_first[component[root]] = ring_order.size();
        for (std::size_t c = root; position[c] == kNone; c = next_inside(c)) {
          position[c] = ring_order.size();
          ring_order.push_back(c);
        }
      }
      const std::size_t first = ring_first[component[root]];
      cycles.push_back(CycleText(contacts, length, [&](std::size_t i) {
        return ring_order[first + (position[root] - first + i) % length];
      }));
      continue;
    }
    ++walk;
    path.assign(1, {root});
    visited[root] = walk;
    while (!path.empty()) {
      Step& step = path.back();
      const std::span<const std::size_t> members = contacts.Members(step.contact);
      if (step.next_member == members.size()) {
        path.pop_back();
        continue;
      }
      const std::size_t member = members[step.next_member++];
      if (member == root) {
        cycles.push_back(
            CycleText(contacts, path.size(), [&](std::size_t i) { return path[i].contact; }));
        break;
      }
      if (component[member] != component[root] || visited[member] == walk) continue;
      visited[member] = walk;
      path.push_back({member});
    }
  }
  return cycles;
}

}  // namespace

ListResolution::ListResolution(const ContactTable& contacts) {
  // Without a member anywhere, every contact stands for its own addresses
  // alone, and nothing is to be worked out.
  if (contacts.MemberCount() == 0) return;
  // A contact without addresses of its own that names just one other stands
  // for what that one stands for.
  stands_for_ = ChainEnds(contacts, [&](std::size_t c) {
    return contacts.EmailCount(c) == 0 && contacts.Members(c).size() == 1;
  });
  // A list whose only member is a list reaches what that one reaches.
  list_ends_ = ChainEnds(contacts, [&](std::size_t c) {
    return contacts.IsList(c) && contacts.Members(c).size() == 1 &&
           contacts.IsList(contacts.Members(c).front());
  });
  cycles_ = CycleTexts(contacts, on_cycle_);
}

// Walks without recursion (lists may nest as deep as the book is long). A
// contact that only names one other is passed over for the one it stands
// for: it adds no address, and the walk would meet the same contacts after
// it in the same order.
void ListResolution::AddressesOf(const ContactTable& contacts, std::size_t index,
                                 std::vector<Email>& addresses, std::size_t most) const {
  addresses.clear();
  if (contacts.Members(index).empty()) {
    for (std::size_t i = 0; i < contacts.EmailCount(index) && i < most; ++i) {
      addresses.push_back(contacts.EmailOf(index, i));
    }
    return;
  }
  std::unordered_set<std::size_t> visited;
  AddressSet seen;
  const auto take = [&](std::size_t from) {
    for (std::size_t i = 0; i < contacts.EmailCount(from); ++i) {
      if (addresses.size() == most) return;
      const Email email = contacts.EmailOf(from, i);
      if (!seen.insert(email.address).second) continue;
      addresses.push_back(from == index ? email : Email{email.address, {}});
    }
  };
  struct Step {
    std::size_t contact;
    std::size_t next_member = 0;
  };
  const std::size_t root = stands_for_[index];
  if (root == kNone) return;
  visited.insert(root);
  take(root);
  std::vector<Step> path{{root}};
  while (!path.empty() && addresses.size() < most) {
    Step& step = path.back();
    const std::span<const std::size_t> members = contacts.Members(step.contact);
    if (step.next_member == members.size()) {
      path.pop_back();
      continue;
    }
    const std::size_t member = stands_for_[members[step.next_member++]];
    if (member == kNone || !visited.insert(member).second) continue;
    take(member);
    path.push_back({member});
  }
}

// A list whose only member is a list reaches what that one reaches, so the
// walk goes straight to the end of such a chain.
void ListResolution::PeopleIn(const ContactTable& contacts, std::size_t list,
                              std::vector<std::size_t>& people) const {
  people.clear();
  // A list that names only itself names no one (and the book may have no
  // member at all, and so no chain ends).
  if (contacts.Members(list).empty()) return;
  const std::size_t start = list_ends_[list];
  if (start == kNone) return;
  std::unordered_set<std::size_t> seen{start};
  std::vector<std::pair<std::size_t, std::size_t>> path{{start, 0}};
  while (!path.empty()) {
    auto& [contact, next] = path.back();
    const std::span<const std::size_t> members = contacts.Members(contact);
    if (next == members.size()) {
      path.pop_back();
      continue;
    }
    std::size_t member = members[next++];
    if (contacts.IsList(member)) member = list_ends_[member];
    if (member == kNone || !seen.insert(member).second) continue;
    if (contacts.IsList(member)) {
      path.emplace_back(member, 0);
    } else {
      people.push_back(member);
    }
  }
}

}  // namespace veltrana
