// A nickname file read for the export, from its bytes to its contacts: the
// text turned into UTF-8, the lines into nickname records, the records into
// contacts, and the lists resolved.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "contacts/charset.h"
#include "contacts/contact.h"
#include "contacts/list_resolution.h"

namespace veltrana {

struct ContactBook {
  std::vector<Contact> contacts;
  ListResolution resolution;
  std::size_t replaced_bytes = 0;     // not text in the book's character set
  std::vector<std::string> warnings;  // lines taken in part, lists naming themselves

  std::size_t ListCount() const;
};

ContactBook ReadContactBook(std::string_view bytes, Charset charset);

}  // namespace veltrana
