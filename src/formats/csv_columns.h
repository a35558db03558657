// The columns of the CSV file: those of the common desktop mail program's
// contact export that the book can fill, the phone columns all of them, in
// the order that program writes them.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

namespace veltrana {

enum CsvColumn : std::size_t {
  kFirstName,
  kLastName,
  kSuffix,
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
  kCsvColumnCount,
  kNoCsvColumn = kCsvColumnCount
};

// The column names, in the order of CsvColumn.
inline constexpr std::array<std::string_view, kCsvColumnCount> kCsvColumnNames{
    "First Name",
    "Last Name",
    "Suffix",
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
static_assert(std::none_of(kCsvColumnNames.begin(), kCsvColumnNames.end(),
                           [](std::string_view name) { return name.empty(); }),
              "every column has a name");

}  // namespace veltrana
