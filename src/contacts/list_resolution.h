// The addresses a contact stands for when lists are written out: its own,
// then those of its members, of their members and so on, each address once.
// A list that leads back to itself is followed only until it does, and the
// cycle is reported.
#pragma once

#include <string>
#include <vector>

#include "contacts/contact.h"

namespace veltrana {

struct ListResolution {
  // Per contact that names others: every address it stands for, in the
  // order met (its own first, then its members' in the order written,
  // depth first). Empty for any other contact, which stands for its own.
  std::vector<std::vector<std::string>> addresses;
  // One per contact that leads back to itself: "a -> b -> a".
  std::vector<std::string> cycles;
};

ListResolution ResolveLists(const std::vector<Contact>& contacts);

// Every address `contacts[index]` stands for.
const std::vector<std::string>& AddressesOf(const std::vector<Contact>& contacts,
                                            const ListResolution& resolution, std::size_t index);

}  // namespace veltrana
