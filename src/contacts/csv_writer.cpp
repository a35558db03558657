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
  kEmail1,
  kEmail2,
  kEmail3,
  kHomePhone,
  kHomePhone2,
  kBusinessPhone,
  kBusinessPhone2,
  kMobilePhone,
  kHomeFax,
  kOtherPhone,
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
  kNotes,
  kColumnCount
};
static_assert(kColumnCount == kCsvColumnCount);

// The column names, in the order of `Column`.
constexpr std::array<std::string_view, kColumnCount> kColumnNames{
    "First Name",
    "Last Name",
    "Nickname",
    "E-mail Address",
    "E-mail 2 Address",
    "E-mail 3 Address",
    "Home Phone",
    "Home Phone 2",
    "Business Phone",
    "Business Phone 2",
    "Mobile Phone",
    "Home Fax",
    "Other Phone",
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
    "Notes",
};
// A name left out would leave the last ones empty. (std::none_of: the
// libc++ of the browser build has no std::ranges::none_of.)
static_assert(std::none_of(kColumnNames.begin(), kColumnNames.end(),
                           [](std::string_view name) { return name.empty(); }),
              "every column has a name");

// Where the values of one kind go: its columns, then the notes under its tag.
struct Slots {
  std::vector<Column> columns;
  const char* tag;
};

class RowWriter {
 public:
  CsvRow Row(const Contact& contact, const std::vector<std::string>& addresses);

 private:
  void Put(Slots& slots, const std::string& value);
  void PutAddress(const std::vector<PostalAddress>& addresses, Column first, bool work);
  void Overflow(const char* tag, const std::string& value);

  CsvRow fields_;
  std::vector<std::string> overflow_;
};

void RowWriter::Put(Slots& slots, const std::string& value) {
  if (slots.columns.empty()) return Overflow(slots.tag, value);
  fields_[slots.columns.front()] = value;
  slots.columns.erase(slots.columns.begin());
}

void RowWriter::Overflow(const char* tag, const std::string& value) {
  overflow_.push_back(std::string(tag) + ": " + value);
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

CsvRow RowWriter::Row(const Contact& contact, const std::vector<std::string>& addresses) {
  const bool no_structured_name = contact.given_name.empty() && contact.family_name.empty();
  fields_[kFirstName] = no_structured_name ? contact.full_name : contact.given_name;
  fields_[kLastName] = contact.family_name;
  fields_[kNickname] = contact.nickname;
  Slots emails{{kEmail1, kEmail2, kEmail3}, "email"};
  for (const std::string& address : addresses) Put(emails, address);

  Slots home{{kHomePhone, kHomePhone2}, "phone"}, work{{kBusinessPhone, kBusinessPhone2}, "phone2"},
      mobile{{kMobilePhone}, "mobile"}, fax{{kHomeFax}, "fax"}, other{{kOtherPhone}, "otherphone"};
  for (const Phone& phone : contact.phones) {
    switch (phone.kind) {
      case PhoneKind::kHome: Put(home, phone.number); break;
      case PhoneKind::kWork: Put(work, phone.number); break;
      case PhoneKind::kMobile: Put(mobile, phone.number); break;
      case PhoneKind::kFax: Put(fax, phone.number); break;
      case PhoneKind::kOther: Put(other, phone.number); break;
    }
  }
  PutAddress(contact.home_addresses, kHomeStreet, false);
  PutAddress(contact.work_addresses, kBusinessStreet, true);
  fields_[kJobTitle] = contact.title;
  fields_[kCompany] = contact.company;

  Slots web{{kWebPage}, "web"}, web2{{}, "web2"}, other_web{{}, "otherweb"};
  for (const WebPage& page : contact.web_pages) {
    Put(page.kind == WebKind::kHome   ? web
        : page.kind == WebKind::kWork ? web2
                                      : other_web,
        page.url);
  }
  std::string notes;
  for (const std::vector<std::string>* list : {&contact.notes, &std::as_const(overflow_)}) {
    for (const std::string& entry : *list) notes.append(notes.empty() ? "" : "\n").append(entry);
  }
  fields_[kNotes] = std::move(notes);
  for (std::string& field : fields_) {  // line breaks as the file's own
    std::string crlf;
    for (const char c : field) crlf.append(c == '\n' ? "\r\n" : std::string_view(&c, 1));
    field = std::move(crlf);
  }
  return std::move(fields_);
}

// The fields of a row or the column names, as one line.
template <typename Fields>
std::string Line(const Fields& fields) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line += ',';
    line += CsvField(fields[i]);
  }
  return line;
}

}  // namespace

CsvRow CsvFieldsOf(const std::vector<Contact>& contacts, const ListResolution& resolution,
                   std::size_t index) {
  return RowWriter().Row(contacts[index], resolution.addresses[index]);
}

std::string CsvField(std::string_view field) {
  if (field.find_first_of("\",\r\n") == std::string_view::npos) return std::string(field);
  std::string quoted = "\"";
  for (const char c : field) quoted.append(c == '"' ? "\"\"" : std::string_view(&c, 1));
  return quoted + "\"";
}

void WriteCsv(const std::vector<Contact>& contacts, const ListResolution& resolution,
              ReplacingFile& file) {
  file.Write("\xEF\xBB\xBF");
  file.WriteLine(Line(kColumnNames));
  for (std::size_t i = 0; i < contacts.size(); ++i) {
    file.WriteLine(Line(CsvFieldsOf(contacts, resolution, i)));
  }
}

}  // namespace veltrana
