#include "contacts/list_resolution.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <random>
#include <set>

#include "contacts/export.h"

namespace veltrana {
namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return text;
}

// The lists walked the plain way, from every contact afresh.
struct Walked {
  std::vector<std::vector<std::string>> addresses;
  std::vector<std::string> cycles;
};

Walked WalkEach(const std::vector<Contact>& contacts) {
  Walked walked;
  for (std::size_t root = 0; root < contacts.size(); ++root) {
    std::vector<bool> met(contacts.size(), false);
    std::set<std::string> seen;
    std::vector<std::string> addresses, path;
    bool back = false;
    std::function<void(std::size_t)> visit = [&](std::size_t c) {
      met[c] = true;
      path.push_back(contacts[c].nickname);
      for (const std::string& a : contacts[c].emails) {
        if (seen.insert(Lower(a)).second) addresses.push_back(a);
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
          walked.cycles.push_back(text + contacts[root].nickname);
        }
        if (!met[m]) visit(m);
      }
      path.pop_back();
    };
    visit(root);
    walked.addresses.push_back(contacts[root].members.empty() ? contacts[root].emails : addresses);
  }
  return walked;
}

// Random books of lists naming lists: rings, chains of lists that only name
// one other, tangles of several paths back, addresses met twice in other case.
TEST(ListResolution, AgreesWithWalkingEachListAfresh) {
  std::mt19937 random(7);
  const auto below = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
  for (int book = 0; book < 400; ++book) {
    const std::size_t n = 1 + below(book % 4 == 0 ? 60 : 12);
    std::vector<Contact> contacts(n);
    for (std::size_t i = 0; i < n; ++i) {
      Contact& c = contacts[i];
      c.nickname = "l" + std::to_string(i);
      const bool only_one = below(3) == 0;
      for (std::size_t e = only_one ? 2 : below(3); e < 2; ++e) {
        c.emails.push_back((below(2) ? "A" : "a") + std::to_string(below(8)) + "@x");
      }
      std::set<std::size_t> named;
      for (std::size_t m = 0, count = only_one ? 1 : below(4); m < count && n > 1; ++m) {
        const std::size_t member = below(3) == 0 ? (i + 1) % n : below(n);
        if (member != i && named.insert(member).second) c.members.push_back(member);
      }
    }
    ContactLinks links;
    for (const Contact& contact : contacts) links.Add(contact);
    const ListResolution resolution = ResolveLists(links);
    const Walked walked = WalkEach(contacts);
    for (std::size_t i = 0; i < n; ++i) {
      const std::vector<std::string_view> addresses = AddressesOf(links, resolution, i);
      ASSERT_EQ(std::vector<std::string>(addresses.begin(), addresses.end()), walked.addresses[i])
          << book << ", " << i;
    }
    ASSERT_EQ(resolution.cycles, walked.cycles) << book;
  }
}

// Rings and chains as long as a book may hold, and many lists naming one
// large list: walking each list afresh took minutes here; the export now
// takes time in step with the book and what it writes.
// A ring and a chain of n lists, and m lists naming one list of m
// addresses, in each format that writes them; returns the best of two
// timings, in seconds.
double ExportTimeOfLongLists(int n) {
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
  const std::pair<const std::string*, ExportFormat> runs[] = {
      {&rings, ExportFormat::kVCard30}, {&rings, ExportFormat::kVCard40},
      {&rings, ExportFormat::kCsv},     {&rings, ExportFormat::kLdif},
      {&rings, ExportFormat::kMutt},    {&fan, ExportFormat::kVCard40},
      {&fan, ExportFormat::kLdif},      {&fan, ExportFormat::kMutt}};
  double best = 0;
  for (int attempt = 0; attempt < 2; ++attempt) {
    const auto start = std::chrono::steady_clock::now();
    for (const auto& [book, format] : runs) {
      std::size_t bytes = 0;
      const ExportResult result =
          ExportContacts({{"", *book}}, format, Charset::kWindows1252,
                         [&](std::string_view text) { bytes += text.size(); });
      EXPECT_EQ(result.warnings.size(), book == &rings ? static_cast<std::size_t>(n) : 0u);
      EXPECT_LT(bytes, book->size() * 20);  // nothing written n times over
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    best = attempt == 0 ? seconds : std::min(best, seconds);
  }
  return best;
}

// Four times the lists, about four times the time, in any build and on a
// busy machine; walking each list afresh took sixteen times and more.
TEST(ListResolution, LongRingsAndChainsExportInLinearTime) {
  const double small = ExportTimeOfLongLists(1500);
  const double large = ExportTimeOfLongLists(6000);
  EXPECT_LT(large, 10 * small) << small << " s for 1,500 lists, " << large << " s for 6,000";
}

}  // namespace
}  // namespace veltrana
