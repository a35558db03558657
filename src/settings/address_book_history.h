// The address books converted before: the item list of the window's
// address-book field, at most 15 paths in the order they were added, no two
// equal (exact comparison, letter case counts).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "page/converter_state.h"

namespace veltrana {

class AddressBookHistory {
 public:
  static constexpr std::size_t kMaxEntries = 15;

  // Appends `path` unless it is listed already or the list is full. Stores
  // "UpdateAddressBookList()" in `proc`.
  void UpdateAddressBookList(ConverterState& state, std::string path);

  const std::vector<std::string>& entries() const { return entries_; }

 private:
  std::vector<std::string> entries_;
};

}  // namespace veltrana
