#include "book/contact_uid.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <unordered_set>

#include "book/contact_table.h"
#include "text/utf8_text.h"

namespace veltrana {

namespace {

// Two 64-bit FNV-1a hashes of the same bytes, from two bases, in one pass.
struct HashPair {
  std::uint64_t high = 0xcbf29ce484222325ULL;
  std::uint64_t low = 0x84222325cbf29ce4ULL;

  constexpr void Add(std::string_view text) {
    for (const char c : text) {
      high = (high ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
      low = (low ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
    }
  }
};

}  // namespace

UidBytes ContactUid(std::string_view folded_nickname) {
  static constexpr HashPair kPrefixed = [] {
    HashPair prefixed;
    prefixed.Add("veltrana-contact:");
    return prefixed;
  }();
  HashPair hash = kPrefixed;
  hash.Add(folded_nickname);
  const std::uint64_t high = hash.high, low = hash.low;
  UidBytes bytes{};
  for (int i = 0; i < 8; ++i) {
    bytes[static_cast<std::size_t>(i)] = static_cast<unsigned char>(high >> (56 - 8 * i));
    bytes[static_cast<std::size_t>(8 + i)] = static_cast<unsigned char>(low >> (56 - 8 * i));
  }
  bytes[6] = static_cast<unsigned char>((bytes[6] & 0x0F) | 0x80);  // version 8
  bytes[8] = static_cast<unsigned char>((bytes[8] & 0x3F) | 0x80);  // variant
  return bytes;
}

void AppendUidText(const UidBytes& uid, std::string& out) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::array<char, 36> text{};
  std::size_t at = 0;
  for (std::size_t i = 0; i < uid.size(); ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) text[at++] = '-';
    text[at++] = kHex[uid[i] >> 4];
    text[at++] = kHex[uid[i] & 0x0F];
  }
  out.append(text.data(), text.size());
}

void GiveContactUids(ContactTable& contacts, const std::vector<std::string>& book_names) {
  // A UUID's first bytes are as good a hash as any.
  const auto hash = [](const UidBytes& uid) {
    std::size_t value = 0;
    std::memcpy(&value, uid.data(), sizeof value);
    return value;
  };
  std::unordered_set<UidBytes, decltype(hash)> given(contacts.size(), hash);
  std::vector<std::string> salts(book_names.size());  // per book, "" for the first
  for (std::size_t book = 1; book < book_names.size(); ++book) {
    FoldUtf8Into(book_names[book], salts[book]);
    salts[book] += '\n';
  }
  std::string folded, key;
  for (std::size_t i = 0; i < contacts.size(); ++i) {
    FoldUtf8Into(contacts.Nickname(i), folded);
    key.assign(salts[contacts.Book(i)]).append(folded);
    UidBytes uid = ContactUid(key);
    for (int again = 1; !given.insert(uid).second; ++again) {
      uid = ContactUid(key + "\n" + std::to_string(again));
    }
    contacts.SetUid(i, uid);
  }
}

}  // namespace veltrana
