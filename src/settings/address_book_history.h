// The address books converted before: the item list of the window's
// address-book field, at most 15 paths in the order they were added, no two
// equal (exact comparison, letter case counts).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace veltrana {

// False for a path holding CR or LF: in the settings file it would split
// into lines of its own, invented entries. Such a book converts, but is not
// remembered.
[[nodiscard]] inline bool IsHistoryLine(std::string_view path) {
  return path.find_first_of("\r\n") == std::string_view::npos;
}

class AddressBookHistory {
 public:
  static constexpr std::size_t kMaxEntries = 15;

  // Appends `path` unless it is listed already, the list is full or it
  // holds a line break.
  void UpdateAddressBookList(std::string path);

  const std::vector<std::string>& entries() const { return entries_; }

 private:
  std::vector<std::string> entries_;
};

}  // namespace veltrana
