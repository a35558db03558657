// Where each field of a contact that a book may hold more than once goes in
// each format: its vCard property, its CSV columns and its LDIF attributes.
// A value goes to the first of its places in the CSV row or LDIF entry that
// is still free; when none is, it goes into the notes as a line of its tag
// ("phone2: 555-0101", the tag as the book writes it: book/field_tags.h),
// so that nothing is lost. vCard has a line for every value.
#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "book/contact.h"
#include "book/field_tags.h"
#include "formats/csv_columns.h"
#include "formats/note_lines.h"

namespace veltrana {

struct PhonePlaces {
  PhoneKind kind;
  // The TEL line's name and parameters. Thunderbird files a number under
  // the first type it knows: the kind of line comes before the place.
  std::string_view vcard30, vcard40;
  std::array<CsvColumn, 2> csv;
  std::string_view ldif;  // "" for none: the card has no such field
};

inline constexpr std::array<PhonePlaces, 7> kPhonePlaces{{
    {PhoneKind::kHome,
     "TEL;TYPE=HOME,VOICE",
     "TEL;TYPE=home,voice",
     {kHomePhone, kHomePhone2},
     "homePhone"},
    {PhoneKind::kWork,
     "TEL;TYPE=WORK,VOICE",
     "TEL;TYPE=work,voice",
     {kBusinessPhone, kBusinessPhone2},
     "telephoneNumber"},
    {PhoneKind::kMobile,
     "TEL;TYPE=CELL,VOICE",
     "TEL;TYPE=cell,voice",
     {kMobilePhone, kNoCsvColumn},
     "mobile"},
    {PhoneKind::kFax,
     "TEL;TYPE=FAX,HOME",
     "TEL;TYPE=fax,home",
     {kHomeFax, kOtherFax},
     "facsimileTelephoneNumber"},
    {PhoneKind::kOther, "TEL;TYPE=VOICE", "TEL;TYPE=voice", {kOtherPhone, kNoCsvColumn}, ""},
    {PhoneKind::kWorkMobile,
     "TEL;TYPE=CELL,WORK",
     "TEL;TYPE=cell,work",
     {kMobilePhone, kNoCsvColumn},
     "mobile"},
    {PhoneKind::kWorkFax,
     "TEL;TYPE=FAX,WORK",
     "TEL;TYPE=fax,work",
     {kBusinessFax, kOtherFax},
     "facsimileTelephoneNumber"},
}};

struct WebPlaces {
  WebKind kind;
  std::string_view vcard30, vcard40;  // the URL line's name and parameters
  CsvColumn csv;
  // A second home page takes the work page's attribute when that is free.
  std::array<std::string_view, 2> ldif;
};

inline constexpr std::array<WebPlaces, 3> kWebPlaces{{
    {WebKind::kHome,
     "URL;TYPE=HOME",
     "URL;TYPE=home",
     kWebPage,
     {"mozillaHomeUrl", "mozillaWorkUrl"}},
    {WebKind::kWork, "URL;TYPE=WORK", "URL;TYPE=work", kWebPage, {"mozillaWorkUrl", ""}},
    {WebKind::kOther, "URL", "URL", kWebPage, {"", ""}},
}};

// The first home and the first work address of a contact fill these; the
// parts of any other go into the notes. vCard writes every address, its
// parts in the order of PostalPart.
struct PostalPlaces {
  PostalPart part;
  CsvColumn csv_home, csv_work;
  std::string_view ldif_home, ldif_work;
};

inline constexpr std::array<PostalPlaces, 5> kPostalPlaces{{
    {PostalPart::kStreet, kHomeStreet, kBusinessStreet, "mozillaHomeStreet", "street"},
    {PostalPart::kCity, kHomeCity, kBusinessCity, "mozillaHomeLocalityName", "l"},
    {PostalPart::kRegion, kHomeState, kBusinessState, "mozillaHomeState", "st"},
    {PostalPart::kPostalCode, kHomePostalCode, kBusinessPostalCode, "mozillaHomePostalCode",
     "postalCode"},
    {PostalPart::kCountry, kHomeCountry, kBusinessCountry, "mozillaHomeCountryName", "c"},
}};

constexpr const PhonePlaces& PlacesOf(PhoneKind kind) {
  return kPhonePlaces[static_cast<std::size_t>(kind)];
}
constexpr const WebPlaces& PlacesOf(WebKind kind) {
  return kWebPlaces[static_cast<std::size_t>(kind)];
}

// `value` in the first of `places` that `take(place)` accepts (it is given
// and still free), else a note line of `tag`.
template <typename Places, typename Take>
void PlaceOrNote(const Places& places, Take take, std::string_view tag, std::string_view value,
                 NoteLines& notes) {
  for (const auto& place : places) {
    if (take(place)) return;
  }
  notes.Add(tag, value);
}

// The home (or work) addresses of a contact where a format has one place
// for each part: the first address's parts to `place(places, part)`, every
// part of the others that is not empty a note line of its tag.
template <typename Place>
void PlaceAddresses(const std::vector<PostalAddress>& addresses, bool work, Place place,
                    NoteLines& notes) {
  for (std::size_t i = 0; i < addresses.size(); ++i) {
    for (const PostalPlaces& places : kPostalPlaces) {
      const std::string_view part =
          addresses[i].*kPostalMembers[static_cast<std::size_t>(places.part)];
      if (i == 0) {
        place(places, part);
      } else if (!part.empty()) {
        notes.Add(TagOf(places.part, work), part);
      }
    }
  }
}

// Every table in the order of its kinds, so that PlacesOf can index it.
static_assert([] {
  for (std::size_t i = 0; i < kPhonePlaces.size(); ++i) {
    if (static_cast<std::size_t>(kPhonePlaces[i].kind) != i) return false;
  }
  for (std::size_t i = 0; i < kWebPlaces.size(); ++i) {
    if (static_cast<std::size_t>(kWebPlaces[i].kind) != i) return false;
  }
  for (std::size_t i = 0; i < kPostalPlaces.size(); ++i) {
    if (static_cast<std::size_t>(kPostalPlaces[i].part) != i) return false;
  }
  return kPhonePlaces.size() == kPhoneTags.size() && kWebPlaces.size() == kWebTags.size() &&
         kPostalPlaces.size() == kPostalTags.size();
}());

}  // namespace veltrana
