#include "book/list_resolution.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <set>

#include "book/contact_book.h"
#include "formats/export.h"

namespace veltrana {
namespace {

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return lower;
}

// The lists walked the plain way, from every contact afresh, as the book
// read them.
struct Walked {
  std::vector<std::vector<std::string>> addresses;
  std::vector<std::string> cycles;
};

Walked WalkEach(const ContactBook& book) {
  Walked walked;
  std::vector<Contact> contacts(book.size());
  for (std::size_t i = 0; i < book.size(); ++i) book.Get(i, contacts[i]);
  for (std::size_t root = 0; root < book.size(); ++root) {
    std::vector<bool> met(book.size(), false);
    std::set<std::string> seen;
    std::vector<std::string> addresses, path;
    bool back = false;
    std::function<void(std::size_t)> visit = [&](std::size_t c) {
      met[c] = true;
      path.emplace_back(contacts[c].nickname);
      for (const Email& a : contacts[c].emails) {
        if (seen.insert(Lower(a.address)).second) addresses.emplace_back(a.address);
      }
      for (const std::size_t m : contacts[c].members) {
        if (m == root && !back) {
          back = true;
          std::string text;
          for (std::size_t i = 0; i < path.size(); ++i) {
            if (path.size() > 13 && i >= 12 && i + 1 < path.size()) {
              if (i == 12) text += "... -> ";
              continue;
            }
            text += path[i] + " -> ";
          }
          walked.cycles.push_back(text + std::string(contacts[root].nickname));
        }
        if (!met[m]) visit(m);
      }
      path.pop_back();
    };
    visit(root);
    if (contacts[root].members.empty()) {
      addresses.clear();
      for (const Email& a : contacts[root].emails) addresses.emplace_back(a.address);
    }
    walked.addresses.push_back(addresses);
  }
  return walked;
}

// Random books of lists naming lists: rings, chains of lists that only name
// one other, tangles of several paths back, addresses met twice in other case.
TEST(ListResolution, AgreesWithWalkingEachListAfresh) {
  std::mt19937 random(7);
  const auto below = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
  for (int round = 0; round < 400; ++round) {
    const std::size_t n = 1 + below(round % 4 == 0 ? 60 : 12);
    std::string text;
    for (std::size_t i = 0; i < n; ++i) {
      std::vector<std::string> items;
      const bool only_one = below(3) == 0;
      for (std::size_t e = only_one ? 2 : below(3); e < 2; ++e) {
        items.push_back((below(2) ? "A" : "a") + std::to_string(below(8)) + "@x");
      }
      for (std::size_t m = 0, count = only_one ? 1 : below(4); m < count && n > 1; ++m) {
        const std::size_t member = below(3) == 0 ? (i + 1) % n : below(n);
        if (member != i) items.push_back("l" + std::to_string(member));
      }
      text += "alias l" + std::to_string(i) + " ";
      for (std::size_t k = 0; k < items.size(); ++k) text += (k ? ", " : "") + items[k];
      text += "\r\n";
    }
    const ContactBook book = ReadContactBooks({{"", text}}, Charset::kUtf8);
    ASSERT_EQ(book.size(), n) << text;
    const Walked walked = WalkEach(book);
    std::vector<Email> addresses;
    Contact contact;
    for (std::size_t i = 0; i < n; ++i) {
      book.Get(i, contact);
      book.AddressesOf(i, addresses);
      std::vector<std::string> got;
      for (const Email& a : addresses) got.emplace_back(a.address);
      ASSERT_EQ(got, walked.addresses[i]) << text << i;
      // The real names of an address are the contact's own alone.
      for (std::size_t k = contact.emails.size(); k < addresses.size(); ++k) {
        ASSERT_TRUE(addresses[k].real_name.empty()) << text << i;
      }
    }
    ASSERT_EQ(book.cycles(), walked.cycles) << text;
  }
}

// Rings and chains as long as a book may hold, and many lists naming one
// large list, in each format that writes them: nothing is written many
// times over, and every ring is reported once per list on it. (How the time
// grows with them: bench/, BM_LongLists.)
TEST(ListResolution, LongRingsAndChainsAreWrittenOnce) {
  const int n = 6000;
  std::string rings;  // a ring, and a chain ending in an address
  for (int i = 0; i < n; ++i) {
    rings += "alias r" + std::to_string(i) + " r" + std::to_string((i + 1) % n) + "\r\n";
    rings += "alias c" + std::to_string(i) + " c" + std::to_string(i + 1) + "\r\n";
  }
  rings += "alias c" + std::to_string(n) + " end@x\r\n";
  const int m = n / 3;
  std::string fan = "alias big";  // the formats that name the large list
  for (int i = 0; i < m; ++i) fan += " b" + std::to_string(i) + "@x,";
  for (int i = 0; i < m; ++i) fan += "\r\nalias n" + std::to_string(i) + " big";
  for (const auto& [book, format] : std::initializer_list<std::pair<std::string*, ExportFormat>>{
           {&rings, ExportFormat::kVCard30},
           {&rings, ExportFormat::kVCard40},
           {&rings, ExportFormat::kCsv},
           {&rings, ExportFormat::kLdif},
           {&rings, ExportFormat::kMutt},
           {&fan, ExportFormat::kVCard40},
           {&fan, ExportFormat::kLdif},
           {&fan, ExportFormat::kMutt}}) {
    std::size_t bytes = 0;
    const ExportResult result =
        ExportContacts({{"", *book}}, format, Charset::kWindows1252,
                       [&](std::string_view text) { bytes += text.size(); });
    EXPECT_EQ(result.warnings.size(), book == &rings ? static_cast<std::size_t>(n) : 0u);
    EXPECT_LT(bytes, book->size() * 20);  // nothing written n times over
  }
}

}  // namespace
}  // namespace veltrana
