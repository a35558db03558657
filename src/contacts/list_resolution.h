// The addresses a contact stands for when lists are written out: its own,
// then those of its members, of their members and so on, each address once.
// A list that leads back to itself is followed only until it does, and the
// cycle is reported.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "contacts/contact_links.h"

namespace veltrana {

// What the book's lists need worked out once, in time linear in the book;
// the addresses themselves are gathered when a writer asks for them, so that
// a list naming a large one costs only where its addresses are written.
// Where no contact names another, all of it stays empty.
struct ListResolution {
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  // Per contact without addresses of its own that names exactly one other:
  // the first contact down that chain that does not, whose addresses it
  // stands for (kNone when the chain comes round to itself). Any other
  // contact stands for itself.
  std::vector<std::size_t> stands_for;
  // Per address of every contact (as ContactLinks numbers them): a number
  // shared by the addresses that differ only in the case of ASCII letters;
  // kNone for those of a contact that neither names others nor is named.
  std::vector<std::size_t> address_numbers;
  // One per contact that leads back to itself: "a -> b -> a".
  std::vector<std::string> cycles;
};

// Per contact, where the chain of contacts that pass on what their only
// member stands for ends: the first contact on it that does not pass on
// (itself when it does not), or kNone when the chain comes round in a ring.
// `passes_on(c)` holds only for contacts with exactly one member.
std::vector<std::size_t> ChainEnds(const ContactLinks& contacts,
                                   const std::function<bool(std::size_t)>& passes_on);

ListResolution ResolveLists(const ContactLinks& contacts);

// Every address `contacts[index]` stands for, in the order met: its own
// first, then its members' in the order written, depth first; only the
// first `most` of them when that is all the caller needs.
// The views are into `contacts`.
std::vector<std::string_view> AddressesOf(const ContactLinks& contacts,
                                          const ListResolution& resolution, std::size_t index,
                                          std::size_t most = ListResolution::kNone);
// The same into `addresses` (emptied first), whose room is reused.
void AddressesOf(const ContactLinks& contacts, const ListResolution& resolution, std::size_t index,
                 std::vector<std::string_view>& addresses,
                 std::size_t most = ListResolution::kNone);

}  // namespace veltrana
