#include "contacts/csv_writer.h"

#include <algorithm>
#include <array>
#include <utility>

namespace veltrana {

namespace {

enum Column {
  kFirstName,
  kLastName,
  kNickname,
  kEmailAddress,
  kEmailDisplayName,
  kEmail2Address,
  kEmail2DisplayName,
  kEmail3Address,
  kEmail3DisplayName,
  kHomePhone,
  kHomePhone2,
  kBusinessPhone,
  kBusinessPhone2,
  kMobilePhone,
  kHomeFax,
  kBusinessFax,
  kOtherPhone,
  kOtherFax,
  kAssistantsPhone,
  kCallback,
  kCarPhone,
  kCompanyMainPhone,
  kISDN,
  kPager,
  kPrimaryPhone,
  kRadioPhone,
  kTtyTddPhone,
  kTelex,
  kHomeStreet,
  kHomeCity,
  kHomeState,
  kHomePostalCode,
  kHomeCountry,
  kBusinessStreet,
  kBusinessCity,
  kBusinessState,
  kBusinessPostalCode,
  kBusinessCountry,
  kJobTitle,
  kCompany,
  kWebPage,
  kCategories,
  kNotes,
  kColumnCount
};
static_assert(kColumnCount == kCsvColumnCount);

// The column names, in the order of `Column`: those of Outlook's own
// contact export that the book can fill, the phone columns all of them.
constexpr std::array<std::string_view, kColumnCount> kColumnNames{
    "First Name",
    "Last Name",
    "Nickname",
    "E-mail Address",
    "E-mail Display Name",
    "E-mail 2 Address",
    "E-mail 2 Display Name",
    "E-mail 3 Address",
    "E-mail 3 Display Name",
    "Home Phone",
    "Home Phone 2",
    "Business Phone",
    "Business Phone 2",
    "Mobile Phone",
    "Home Fax",
    "Business Fax",
    "Other Phone",
    "Other Fax",
    "Assistant's Phone",
    "Callback",
    "Car Phone",
    "Company Main Phone",
    "ISDN",
    "Pager",
    "Primary Phone",
    "Radio Phone",
    "TTY/TDD Phone",
    "Telex",
    "Home Street",
    "Home City",
    "Home State",
    "Home Postal Code",
    "Home Country/Region",
    "Business Street",
    "Business City",
    "Business State",
    "Business Postal Code",
    "Business Country/Region",
    "Job Title",
    "Company",
    "Web Page",
    "Categories",
    "Notes",
};
// A name left out would leave the last ones empty. (std::none_of: the
// libc++ of the browser build has no std::ranges::none_of.)
static_assert(std::none_of(kColumnNames.begin(), kColumnNames.end(),
                           [](std::string_view name) { return name.empty(); }),
              "every column has a name");

// Where the values of one kind go: the first empty one of its columns,
// else the notes under its tag.
struct Slots {
  std::vector<Column> columns;
  const char* tag;
};

// The fields of one row as views into the contact and the writer: a line
// break in them is still "\n".
using RowFields = std::array<std::string_view, kColumnCount>;

// Makes one row after another in the same room.
class RowWriter {
 public:
  // Valid until the next row.
  const RowFields& Row(const Contact& contact, const std::vector<std::string_view>& addresses,
                       std::string_view category);

 private:
  void Put(const Slots& slots, std::string_view value);
  void PutEmails(const Contact& contact, const std::vector<std::string_view>& addresses);
  void PutAddress(const std::vector<PostalAddress>& addresses, Column first, bool work);
  void Overflow(std::string_view tag, std::string_view value);

  RowFields fields_{};
  std::vector<std::string> overflow_;
  std::string notes_;
};

void RowWriter::Put(const Slots& slots, std::string_view value) {
  for (const Column column : slots.columns) {
    if (fields_[column].empty()) {
      fields_[column] = value;
      return;
    }
  }
  Overflow(slots.tag, value);
}

void RowWriter::Overflow(std::string_view tag, std::string_view value) {
  std::string& entry = overflow_.emplace_back(tag);
  entry.append(": ").append(value);
}

// Three addresses with the real name written with each; the contact's own
// come first, a list's members' after them.
void RowWriter::PutEmails(const Contact& contact, const std::vector<std::string_view>& addresses) {
  static constexpr std::array<std::pair<Column, Column>, 3> kColumns{{
      {kEmailAddress, kEmailDisplayName},
      {kEmail2Address, kEmail2DisplayName},
      {kEmail3Address, kEmail3DisplayName},
  }};
  for (std::size_t i = 0; i < addresses.size(); ++i) {
    const bool own = i < contact.emails.size() && i < contact.email_names.size();
    const std::string_view name = own ? std::string_view(contact.email_names[i]) : "";
    if (i < kColumns.size()) {
      fields_[kColumns[i].first] = addresses[i];
      fields_[kColumns[i].second] = name;
    } else {
      Overflow("email", name.empty()
                            ? std::string(addresses[i])
                            : std::string(name).append(" <").append(addresses[i]).append(">"));
    }
  }
}

void RowWriter::PutAddress(const std::vector<PostalAddress>& addresses, Column first, bool work) {
  for (std::size_t i = 0; i < addresses.size(); ++i) {
    const PostalAddress& a = addresses[i];
    const std::array<const std::string*, 5> parts{&a.street, &a.city, &a.region, &a.postal_code,
                                                  &a.country};
    static constexpr std::array<const char*, 5> kHomeTags{"address", "city", "state", "zip",
                                                          "country"};
    static constexpr std::array<const char*, 5> kWorkTags{"address2", "city2", "state2", "zip2",
                                                          "country2"};
    for (std::size_t p = 0; p < parts.size(); ++p) {
      if (i == 0) {
        fields_[static_cast<std::size_t>(first) + p] = *parts[p];
      } else if (!parts[p]->empty()) {
        Overflow((work ? kWorkTags : kHomeTags)[p], *parts[p]);
      }
    }
  }
}

const Slots& PhoneSlots(PhoneKind kind) {
  static const Slots kHome{{kHomePhone, kHomePhone2}, "phone"},
      kWork{{kBusinessPhone, kBusinessPhone2}, "phone2"}, kMobile{{kMobilePhone}, "mobile"},
      kWorkMobile{{kMobilePhone}, "mobile2"}, kFax{{kHomeFax, kOtherFax}, "fax"},
      kWorkFax{{kBusinessFax, kOtherFax}, "fax2"}, kOther{{kOtherPhone}, "otherphone"};
  switch (kind) {
    case PhoneKind::kHome: return kHome;
    case PhoneKind::kWork: return kWork;
    case PhoneKind::kMobile: return kMobile;
    case PhoneKind::kWorkMobile: return kWorkMobile;
    case PhoneKind::kFax: return kFax;
    case PhoneKind::kWorkFax: return kWorkFax;
    case PhoneKind::kOther: return kOther;
  }
  return kOther;
}

const RowFields& RowWriter::Row(const Contact& contact,
                                const std::vector<std::string_view>& addresses,
                                std::string_view category) {
  fields_.fill({});
  overflow_.clear();
  const bool no_structured_name = contact.given_name.empty() && contact.family_name.empty();
  fields_[kFirstName] = no_structured_name ? contact.full_name : contact.given_name;
  fields_[kLastName] = contact.family_name;
  fields_[kNickname] = contact.nickname;
  PutEmails(contact, addresses);
  for (const Phone& phone : contact.phones) Put(PhoneSlots(phone.kind), phone.number);
  PutAddress(contact.home_addresses, kHomeStreet, false);
  PutAddress(contact.work_addresses, kBusinessStreet, true);
  fields_[kJobTitle] = contact.title;
  fields_[kCompany] = contact.company;
  static const Slots kWeb{{kWebPage}, "web"}, kWeb2{{kWebPage}, "web2"},
      kOtherWeb{{kWebPage}, "otherweb"};
  for (const WebPage& page : contact.web_pages) {
    Put(page.kind == WebKind::kHome   ? kWeb
        : page.kind == WebKind::kWork ? kWeb2
                                      : kOtherWeb,
        page.url);
  }
  fields_[kCategories] = category;
  notes_.clear();
  for (const std::vector<std::string>* list : {&contact.notes, &std::as_const(overflow_)}) {
    for (const std::string& entry : *list) notes_.append(notes_.empty() ? "" : "\n").append(entry);
  }
  fields_[kNotes] = notes_;
  return fields_;
}

// A field as CsvField writes it; with `crlf`, each line break ("\n") as the
// file's own line end (CR LF).
void AppendCsvField(std::string_view field, bool crlf, std::string& out) {
  const bool plain = std::none_of(field.begin(), field.end(), [](char c) {
    return c == '"' || c == ',' || c == '\r' || c == '\n';
  });
  if (plain) {
    out.append(field);
    return;
  }
  out += '"';
  for (const char c : field) {
    if (c == '"') {
      out.append("\"\"");
    } else if (c == '\n' && crlf) {
      out.append("\r\n");
    } else {
      out += c;
    }
  }
  out += '"';
}

// The fields of a row or the column names, as one line with its end.
template <typename Fields>
void AppendLine(const Fields& fields, std::string& line) {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line += ',';
    AppendCsvField(fields[i], true, line);
  }
  line.append("\r\n");
}

}  // namespace

CsvRow CsvFieldsOf(const ContactBook& book, std::size_t index) {
  RowWriter writer;
  const std::vector<std::string_view> addresses = AddressesOf(book.links, book.resolution, index);
  const Contact contact = book.ContactAt(index);
  const RowFields& fields = writer.Row(contact, addresses, {});  // views into both
  CsvRow row;
  for (std::size_t i = 0; i < row.size(); ++i) {  // line breaks as the file's own
    for (const char c : fields[i]) row[i].append(c == '\n' ? "\r\n" : std::string_view(&c, 1));
  }
  return row;
}

std::string CsvField(std::string_view field) {
  std::string out;
  AppendCsvField(field, false, out);
  return out;
}

void WriteCsv(const ContactBook& book, const ExportSink& sink) {
  std::string line = "\xEF\xBB\xBF";
  AppendLine(kColumnNames, line);
  sink(line);
  const std::vector<std::string> categories = book.BookNames();
  RowWriter writer;
  ContactReader reader(book);
  std::vector<std::string_view> addresses;
  for (std::size_t i = 0; i < book.size(); ++i) {
    const Contact& contact = reader.At(i);
    line.clear();
    AddressesOf(book.links, book.resolution, i, addresses);
    AppendLine(writer.Row(contact, addresses, categories[contact.book]), line);
    sink(line);
  }
}

}  // namespace veltrana
