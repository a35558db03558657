// The note tags that fill a field of a contact, and the field each fills:
// the one list of them, which the reading of a note and every format's note
// lines ("phone2: 555-0101", for a value a format has no place for) take
// their words from. A tag not named here goes into the notes as it is.
#pragma once

#include <array>
#include <optional>
#include <string_view>
#include <utility>

namespace veltrana {

// "mobile2" and "fax2" are the work mobile and the work fax.
enum class PhoneKind { kHome, kWork, kMobile, kFax, kOther, kWorkMobile, kWorkFax };
enum class WebKind { kHome, kWork, kOther };
// The parts of a postal address, each with a tag for the home address and
// one for the work address.
enum class PostalPart { kStreet, kCity, kRegion, kPostalCode, kCountry };

inline constexpr std::array<std::pair<PhoneKind, std::string_view>, 7> kPhoneTags{{
    {PhoneKind::kHome, "phone"},
    {PhoneKind::kWork, "phone2"},
    {PhoneKind::kMobile, "mobile"},
    {PhoneKind::kFax, "fax"},
    {PhoneKind::kOther, "otherphone"},
    {PhoneKind::kWorkMobile, "mobile2"},
    {PhoneKind::kWorkFax, "fax2"},
}};
inline constexpr std::array<std::pair<WebKind, std::string_view>, 3> kWebTags{{
    {WebKind::kHome, "web"},
    {WebKind::kWork, "web2"},
    {WebKind::kOther, "otherweb"},
}};
// Per part, in the order of PostalPart: the home tag and the work tag.
inline constexpr std::array<std::pair<std::string_view, std::string_view>, 5> kPostalTags{{
    {"address", "address2"},
    {"city", "city2"},
    {"state", "state2"},
    {"zip", "zip2"},
    {"country", "country2"},
}};

// The tags of one value each that are not phones, web pages or addresses.
inline constexpr std::string_view kNameTag = "name", kFirstNameTag = "first", kLastNameTag = "last",
                                  kTitleTag = "title", kCompanyTag = "company";
// More addresses of the contact's own, as its alias lines write them.
inline constexpr std::string_view kOtherEmailTag = "otheremail";
// What a note line calls an address: an alias item that is no address and
// names no one, an address a format has no place for.
inline constexpr std::string_view kEmailTag = "email";
// What a note line calls a person a list reaches, where a format names them
// in the notes.
inline constexpr std::string_view kMemberTag = "member";

// The "other" kinds hold several values, one per line of the tag's value.
constexpr bool HoldsSeveral(PhoneKind kind) {
  return kind == PhoneKind::kOther;
}
constexpr bool HoldsSeveral(WebKind kind) {
  return kind == WebKind::kOther;
}

constexpr std::string_view TagOf(PhoneKind kind) {
  return kPhoneTags[static_cast<std::size_t>(kind)].second;
}
constexpr std::string_view TagOf(WebKind kind) {
  return kWebTags[static_cast<std::size_t>(kind)].second;
}
constexpr std::string_view TagOf(PostalPart part, bool work) {
  const auto& tags = kPostalTags[static_cast<std::size_t>(part)];
  return work ? tags.second : tags.first;
}

// The kind a tag names, if it names one.
template <typename Kind, std::size_t N>
constexpr std::optional<Kind> KindOfTag(
    const std::array<std::pair<Kind, std::string_view>, N>& tags, std::string_view keyword) {
  for (const auto& [kind, tag] : tags) {
    if (tag == keyword) return kind;
  }
  return std::nullopt;
}

// The tables are in the order of their kinds, so that TagOf can index them.
static_assert([] {
  for (std::size_t i = 0; i < kPhoneTags.size(); ++i) {
    if (static_cast<std::size_t>(kPhoneTags[i].first) != i) return false;
  }
  for (std::size_t i = 0; i < kWebTags.size(); ++i) {
    if (static_cast<std::size_t>(kWebTags[i].first) != i) return false;
  }
  return true;
}());

}  // namespace veltrana
