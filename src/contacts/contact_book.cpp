#include "contacts/contact_book.h"

#include <algorithm>

#include "contacts/contact_builder.h"
#include "contacts/nickname_book.h"

namespace veltrana {

struct ContactBook::Source {
  std::vector<std::string> texts;     // per book, its text in UTF-8
  std::vector<NicknameBook> records;  // per book, views into its text
};

ContactBook::ContactBook() = default;
ContactBook::~ContactBook() = default;
ContactBook::ContactBook(ContactBook&&) noexcept = default;
ContactBook& ContactBook::operator=(ContactBook&&) noexcept = default;

std::size_t ContactBook::ListCount() const {
  std::size_t lists = 0;
  for (const BookSummary& summary : books) lists += summary.lists;
  return lists;
}

std::vector<std::string> ContactBook::BookNames() const {
  std::vector<std::string> names;
  for (const BookSummary& summary : books) names.push_back(summary.name);
  return names;
}

Contact ContactBook::ContactAt(std::size_t index) const {
  Contact contact;
  ContactBuilder(source_->records).Build(index, contact);
  return contact;
}

ContactReader::ContactReader(const ContactBook& book)
    : book_(book), builder_(std::make_unique<ContactBuilder>(book.source_->records)) {}

ContactReader::~ContactReader() = default;

const Contact& ContactReader::At(std::size_t index) {
  builder_->Build(index, book_.links, contact_);
  return contact_;
}

ContactBook ReadContactBooks(std::vector<BookBytes> books, std::optional<Charset> charset,
                             bool uids) {
  ContactBook book;
  book.source_ = std::make_unique<ContactBook::Source>();
  std::vector<std::string>& texts = book.source_->texts;  // the records are views into these
  std::vector<NicknameBook>& records = book.source_->records;
  std::vector<std::string> names;
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
  // Each contact is built once here for what the others need of it, and
  // again when it is written.
  ContactBuilder builder(records);
  book.links.Reserve(builder.size());
  for (std::size_t i = 0; i < builder.size(); ++i) {
    builder.AddLinks(i, book.links, &book.warnings);
    ++book.books[book.links.book(i)].contacts;
    if (book.links.is_list(i)) ++book.books[book.links.book(i)].lists;
  }
  if (uids) GiveContactUids(book.links, records, names);
  book.resolution = ResolveLists(book.links);
  return book;
}

ContactBook ReadContactBook(std::string_view bytes, Charset charset) {
  return ReadContactBooks({BookBytes{"", std::string(bytes)}}, charset);
}

}  // namespace veltrana
