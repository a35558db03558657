#include "book/contact_book.h"

#include <memory>

#include "book/contact_maker.h"
#include "book/nickname_book.h"

namespace veltrana {

std::size_t ContactBook::ListCount() const {
  std::size_t lists = 0;
  for (const BookSummary& summary : books_) lists += summary.lists;
  return lists;
}

ContactBook ReadContactBooks(std::vector<BookBytes> books, std::optional<Charset> charset) {
  ContactBook book;
  // The books' records, views into the texts the contacts keep: gone once
  // the contacts are made, before what comes after takes its room.
  auto records = std::make_unique<std::vector<NicknameBook>>();
  std::vector<std::string> names;
  records->reserve(books.size());
  for (BookBytes& one : books) {
    BookSummary& summary = book.books_.emplace_back();
    summary.name = one.name;
    summary.charset = charset.value_or(DetectCharset(one.bytes));
    Utf8Text text = ToUtf8(std::move(one.bytes), summary.charset);  // the bytes go
    summary.replaced_bytes = text.replaced;
    records->push_back(ReadNicknameBook(book.contacts_.AdoptBook(std::move(text.text))));
    for (const std::string& warning : records->back().warnings) {
      book.warnings_.push_back(books.size() > 1 ? one.name + ", " + warning : warning);
    }
    names.push_back(one.name);
  }
  MakeContacts(*records, book.contacts_, book.warnings_);
  records.reset();
  for (std::size_t i = 0; i < book.size(); ++i) {
    BookSummary& summary = book.books_[book.contacts_.Book(i)];
    ++summary.contacts;
    if (book.contacts_.IsList(i)) ++summary.lists;
  }
  GiveContactUids(book.contacts_, names);
  book.lists_ = ListResolution(book.contacts_);
  return book;
}

}  // namespace veltrana
