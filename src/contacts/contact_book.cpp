#include "contacts/contact_book.h"

#include <algorithm>

#include "contacts/contact_builder.h"
#include "contacts/nickname_book.h"

namespace veltrana {

std::size_t ContactBook::ListCount() const {
  return static_cast<std::size_t>(
      std::count_if(contacts.begin(), contacts.end(), [](const Contact& c) { return c.is_list; }));
}

std::vector<std::string> ContactBook::BookNames() const {
  std::vector<std::string> names;
  for (const BookSummary& summary : books) names.push_back(summary.name);
  return names;
}

ContactBook ReadContactBooks(std::vector<BookBytes> books, std::optional<Charset> charset,
                             bool uids) {
  ContactBook book;
  std::vector<NicknameBook> records;
  std::vector<std::string> names;
  std::vector<std::string> texts;  // the records' texts are views into these
  records.reserve(books.size());
  texts.reserve(books.size());
  for (BookBytes& one : books) {
    BookSummary& summary = book.books.emplace_back();
    summary.name = one.name;
    summary.charset = charset.value_or(DetectCharset(one.bytes));
    Utf8Text text = ToUtf8(std::move(one.bytes), summary.charset);  // the bytes go
    summary.replaced_bytes = text.replaced;
    texts.push_back(std::move(text.text));
    records.push_back(ReadNicknameBook(texts.back()));
    for (const std::string& warning : records.back().warnings) {
      book.warnings.push_back(books.size() > 1 ? one.name + ", " + warning : warning);
    }
    names.push_back(one.name);
  }
  book.contacts = BuildContacts(records, book.warnings);
  // The contacts hold copies of all they need: the texts and the records,
  // which are views into them, go before the UIDs and the lists are made.
  std::vector<std::string>().swap(texts);
  for (NicknameBook& one : records) std::vector<NicknameRecord>().swap(one.records);
  if (uids) GiveContactUids(book.contacts, records, names);
  std::vector<NicknameBook>().swap(records);
  book.resolution = ResolveLists(book.contacts);
  for (const Contact& contact : book.contacts) {
    ++book.books[contact.book].contacts;
    if (contact.is_list) ++book.books[contact.book].lists;
  }
  return book;
}

ContactBook ReadContactBook(std::string_view bytes, Charset charset) {
  return ReadContactBooks({BookBytes{"", std::string(bytes)}}, charset);
}

}  // namespace veltrana
