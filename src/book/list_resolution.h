// What the lists of the books stand for, worked out once in time linear in
// the books: the addresses a contact stands for when lists are written out
// (its own, then those of its members, of their members and so on, each
// address once), the people a list reaches when lists hold only people, and
// the lists that lead back to themselves, which are followed only until
// they do. What is gathered for one contact is gathered when it is asked
// for, so that a list naming a large one costs only where it is written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "book/contact_table.h"
#include "text/utf8_text.h"

namespace veltrana {

inline constexpr std::size_t kNoContact = static_cast<std::size_t>(-1);

// Addresses the same but for the case of ASCII letters, as the lists take
// them: one of each in a set.
using AddressSet = std::unordered_set<std::string_view, FoldedHash, FoldedEqual>;

// Per contact, where the chain of contacts that pass on what their only
// member stands for ends: the first contact on it that does not pass on
// (itself when it does not), or kNoContact when the chain comes round in a
// ring. `passes_on(c)` holds only for contacts with exactly one member.
[[nodiscard]] std::vector<std::size_t> ChainEnds(const ContactTable& contacts,
                                                 const std::function<bool(std::size_t)>& passes_on);

class ListResolution {
 public:
  ListResolution() = default;
  explicit ListResolution(const ContactTable& contacts);

  // Every address contact `index` stands for, into `addresses` (emptied
  // first): its own first, then its members' in the order written, depth
  // first; only the first `most` when that is all the caller needs. An
  // address keeps its real name only where it is the contact's own.
  void AddressesOf(const ContactTable& contacts, std::size_t index, std::vector<Email>& addresses,
                   std::size_t most = kNoContact) const;
  // The people list `list` reaches, into `people` (emptied first): the
  // lists it names replaced by the people they reach, each person once, in
  // the order met.
  void PeopleIn(const ContactTable& contacts, std::size_t list,
                std::vector<std::size_t>& people) const;
  // One per contact that leads back to itself, in the book's order: "a -> b
  // -> a", a long one shortened to its start and its end.
  [[nodiscard]] const std::vector<std::string>& cycles() const { return cycles_; }
  // Whether contact `index` leads back to itself.
  [[nodiscard]] bool OnCycle(std::size_t index) const {
    return !on_cycle_.empty() && on_cycle_[index];
  }

 private:
  // Where no contact names another, both stay empty.
  std::vector<std::size_t> stands_for_;  // ChainEnds of contacts that only name one other
  std::vector<std::size_t> list_ends_;   // ChainEnds of lists that only name one list
  std::vector<std::string> cycles_;
  std::vector<bool> on_cycle_;  // per contact; empty where no contact names another
};

}  // namespace veltrana
