#include "settings/address_book_history.h"

#include <algorithm>

namespace veltrana {

void AddressBookHistory::UpdateAddressBookList(std::string path) {
  if (entries_.size() >= kMaxEntries) return;
  // A name with a line break would become invented lines of the file.
  if (!IsHistoryLine(path)) return;
  if (std::find(entries_.begin(), entries_.end(), path) != entries_.end()) return;
  entries_.push_back(std::move(path));
}

}  // namespace veltrana
