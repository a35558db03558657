#include "formats/csv_writer.h"

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "formats/csv_columns.h"
#include "formats/csv_field.h"
#include "formats/field_places.h"
#include "formats/note_lines.h"

namespace veltrana {

namespace {

// Makes one row after another in the same room.
class RowWriter {
 public:
  explicit RowWriter(const ContactBook& book) : book_(book) {}
  // The row of the book's contact `index`, as a line of the file with its end.
  const std::string& Row(std::size_t index);

 private:
  void PutEmails(std::size_t index);
  // `value` in the first of `columns` that is free, else a note of `tag`.
  template <typename Columns>
  void Put(const Columns& columns, std::string_view tag, std::string_view value);

  const ContactBook& book_;
  Contact contact_;
  std::array<std::string_view, kCsvColumnCount> fields_{};  // line breaks still "\n"
  std::vector<Email> addresses_, member_addresses_;
  std::vector<std::size_t> people_;
  AddressSet written_;
  NoteLines notes_;
  std::string line_;
};

template <typename Columns>
void RowWriter::Put(const Columns& columns, std::string_view tag, std::string_view value) {
  const auto take = [&](CsvColumn column) {
    if (column == kNoCsvColumn || !fields_[column].empty()) return false;
    fields_[column] = value;
    return true;
  };
  PlaceOrNote(columns, take, tag, value, notes_);
}

// Three addresses with the real name written with each. The contact's own
// come first; a contact that names others (a list) then gives each person
// it reaches one column, their first address with their name, so that the
// columns mail as many members as they can hold. Every member is a line of
// the notes, and every address not in a column too.
void RowWriter::PutEmails(std::size_t index) {
  static constexpr std::array<std::pair<CsvColumn, CsvColumn>, 3> kColumns{{
      {kEmailAddress, kEmailDisplayName},
      {kEmail2Address, kEmail2DisplayName},
      {kEmail3Address, kEmail3DisplayName},
  }};
  std::size_t column = 0;
  const auto put = [&](const Email& email) {
    if (column == kColumns.size()) return false;
    fields_[kColumns[column].first] = email.address;
    fields_[kColumns[column].second] = email.real_name;
    ++column;
    return true;
  };
  book_.AddressesOf(index, addresses_);
  if (contact_.members.empty()) {
    for (const Email& email : addresses_) {
      if (!put(email)) notes_.AddAddress(email.real_name, email.address);
    }
    return;
  }
  // What is written already, letter case ignored as the addresses were
  // gathered: an address in a column or on a member's line.
  written_.clear();
  for (const Email& email : contact_.emails) {
    if (put(email)) written_.insert(email.address);
  }
  book_.PeopleIn(index, people_);
  for (const std::size_t person : people_) {
    const ContactIdentity member = book_.IdentityOf(person);
    book_.AddressesOf(person, member_addresses_, 1);
    if (member_addresses_.empty()) {
      notes_.Add(kMemberTag, member.full_name);
      continue;
    }
    const std::string_view address = member_addresses_.front().address;
    put({address, member.full_name});
    notes_.AddAddress(member.full_name, address, kMemberTag);
    written_.insert(address);
  }
  for (const Email& email : addresses_) {
    if (!written_.contains(email.address)) notes_.AddAddress(email.real_name, email.address);
  }
}

const std::string& RowWriter::Row(std::size_t index) {
  book_.Get(index, contact_);
  const Contact& contact = contact_;
  fields_.fill({});
  notes_.Start(contact.notes);
  const bool no_structured_name = contact.given_name.empty() && contact.family_name.empty();
  fields_[kFirstName] = no_structured_name ? contact.full_name : contact.given_name;
  fields_[kLastName] = contact.family_name;
  fields_[kSuffix] = contact.name_suffix;
  fields_[kNickname] = contact.nickname;
  PutEmails(index);
  for (const Phone& phone : contact.phones) {
    Put(PlacesOf(phone.kind).csv, TagOf(phone.kind), phone.number);
  }
  for (const bool work : {false, true}) {
    PlaceAddresses(
        work ? contact.work_addresses : contact.home_addresses, work,
        [&](const PostalPlaces& places, std::string_view part) {
          fields_[work ? places.csv_work : places.csv_home] = part;
        },
        notes_);
  }
  fields_[kJobTitle] = contact.title;
  fields_[kCompany] = contact.company;
  for (const WebPage& page : contact.web_pages) {
    Put(std::array{PlacesOf(page.kind).csv}, TagOf(page.kind), page.url);
  }
  fields_[kCategories] = book_.books()[contact.book].name;
  fields_[kNotes] = notes_.text();
  line_.clear();
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    if (i > 0) line_ += ',';
    AppendCsvField(fields_[i], line_);
  }
  line_.append("\r\n");
  return line_;
}

}  // namespace

void WriteCsv(const ContactBook& book, const ExportSink& sink) {
  std::string header = "\xEF\xBB\xBF";
  for (std::size_t i = 0; i < kCsvColumnNames.size(); ++i) {
    if (i > 0) header += ',';
    AppendCsvField(kCsvColumnNames[i], header);
  }
  header.append("\r\n");
  sink(header);
  RowWriter writer(book);
  for (std::size_t i = 0; i < book.size(); ++i) sink(writer.Row(i));
}

}  // namespace veltrana
