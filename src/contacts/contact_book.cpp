#include "contacts/contact_book.h"

#include <algorithm>

#include "contacts/contact_builder.h"
#include "contacts/nickname_book.h"

namespace veltrana {

std::size_t ContactBook::ListCount() const {
  return static_cast<std::size_t>(
      std::count_if(contacts.begin(), contacts.end(), [](const Contact& c) { return c.is_list; }));
}

ContactBook ReadContactBook(std::string_view bytes, Charset charset) {
  ContactBook book;
  const Utf8Text text = ToUtf8(bytes, charset);
  book.replaced_bytes = text.replaced;
  NicknameBook records = ReadNicknameBook(text.text);
  book.warnings = std::move(records.warnings);
  book.contacts = BuildContacts(records, book.warnings);
  book.resolution = ResolveLists(book.contacts);
  return book;
}

}  // namespace veltrana
