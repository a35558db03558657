// The address text of an alias line as the mail client writes it: a list of
// items separated by commas (a comma inside double quotes, parentheses or
// angle brackets does not separate) or by line-break markers (code 3), each
// item in one of the forms
//   addr   <addr>   Real Name <addr>   "Real Name" <addr>   addr (Real Name)
// and "<addr> (Real Name)". Unbalanced quotes and brackets run to the end
// of their item; nothing here fails.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace veltrana {

// The items of an address text into `items` (emptied first, its room
// reused), each without blanks at its ends; empty items are left out.
void SplitAddressList(std::string_view text, std::vector<std::string_view>& items);

struct AddressItem {
  // The addresses the item holds: one, or several written one after another
  // with blanks between them ("a@host b@host"). None when it holds no "@"
  // outside angle brackets and nothing inside them (a plain word or name).
  // Views into the item, or into `pieced` where the item's text outside its
  // quotes and brackets had to be put together.
  std::vector<std::string_view> addresses;
  std::string real_name;  // the name written with it, blanks run together
  std::string pieced;
};

// `item` taken apart into `parsed` (emptied first), whose room is reused.
void ParseAddressItem(std::string_view item, AddressItem& parsed);

// A nickname written as an item may stand in double quotes: the item
// without them when it is one quoted string, else the item itself.
[[nodiscard]] std::string_view UnquotedItem(std::string_view item);

}  // namespace veltrana
