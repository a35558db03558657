// The page of today: what a browser, a phone or a printer is handed.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include "formats/export.h"
#include "formats/html_writer.h"
#include "formats/sha256.h"
#include "formats/vcard_writer.h"

namespace veltrana {
namespace {

constexpr CalendarDate kDate{2026, 3, 5};

struct Page {
  std::string text;
  std::size_t pieces = 0;
  ExportResult result;
};

Page Make(std::vector<BookBytes> books, std::optional<Charset> charset = Charset::kWindows1252) {
  Page page;
  page.result = ExportContacts(
      std::move(books), ExportFormat::kHtml, charset,
      [&page](std::string_view bytes) {
        page.text.append(bytes);
        ++page.pieces;
      },
      nullptr, kDate);
  return page;
}

std::string Make(std::string_view book) {
  return Make({{"Eudora Nicknames", std::string(book)}}).text;
}

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
    ++count;
  return count;
}

// Every match of `pattern`'s first group, in page order.
std::vector<std::string> All(const std::string& text, const std::string& pattern) {
  std::vector<std::string> found;
  const std::regex re(pattern);
  for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator();
       ++it) {
    found.push_back((*it)[1]);
  }
  return found;
}

std::string Between(const std::string& text, const std::string& open, const std::string& close) {
  const std::size_t start = text.find(open);
  if (start == std::string::npos) return {};
  const std::size_t end = text.find(close, start + open.size());
  return text.substr(start + open.size(), end - start - open.size());
}

std::string PercentDecoded(std::string_view text) {
  std::string bytes;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      bytes += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
      i += 2;
    } else {
      bytes += text[i];
    }
  }
  return bytes;
}

TEST(Sha256, KnownDigests) {
  // FIPS 180-2's examples, one of them two blocks long, and a message whose
  // padding needs a block of its own (56 bytes).
  const struct {
    std::string message;
    const char* base64;
  } cases[] = {
      {"", "47DEQpj8HBSa+/TImW+5JCeuQeRkm5NMpJWZG3hSuFU="},
      {"abc", "ungWv48Bz+pBQUDeXa4iI7ADYaOWF3qctBD/YfIAFa0="},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "JI1qYdIGOLjlwCaTDD5gOaM85Flk/yFn9uzt1BnbBsE="},
      {std::string(1000000, 'a'), "zcduXJkU+5KBocfihNc+Z/GAmkiklyAOBG05zMcRLNA="},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Sha256Base64(c.message), c.base64) << c.message.substr(0, 60);
  }
}

// The policy allows exactly the page's own style and script: a block that
// is not what its hash covers would be refused by the browser.
TEST(HtmlPage, ThePolicyAllowsItsOwnStyleAndScriptAndNothingElse) {
  const std::string page = Make("alias ann ann@example.org\r\n");
  const std::string policy = Between(page, "http-equiv=\"Content-Security-Policy\" content=\"", "\"");
  EXPECT_EQ(policy.rfind("default-src 'none'; ", 0), 0u) << policy;
  const std::string style = Sha256Base64(Between(page, "<style>", "</style>"));
  const std::string script = Sha256Base64(Between(page, "<script>", "</script>"));
  EXPECT_TRUE(Has(policy, "style-src 'sha256-" + style + "'")) << policy;
  EXPECT_TRUE(Has(policy, "script-src 'sha256-" + script + "'")) << policy;
  EXPECT_EQ(Count(page, "<script"), 1u);
  EXPECT_EQ(Count(page, "<style"), 1u);
  EXPECT_EQ(Count(page, "src="), 0u) << "nothing is fetched";
  EXPECT_EQ(page.rfind("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n", 0),
            0u);
  EXPECT_EQ(page.substr(page.size() - 16), "</body>\n</html>\n");
}

// Whatever a book holds is text on the page: no element, attribute or
// entity of its own, and no link but to the web and to mail.
TEST(HtmlPage, EveryByteOfTheBookIsEscapedAndOnlyWebAndMailAreLinked) {
  const std::string page = Make(
      "alias \"<b>x\" \"<i>\" <a&b@example.org>\r\n"
      "note \"<b>x\" <name:Tom & \"Jerry\" <script>alert(1)</script>>"
      "<phone:555 <0100> & 'x'><address:1 <Elm> St\x03Springfield><title:A&amp;B>"
      "<web:javascript:alert(1)><web2:JavaScript:alert(2)><otherweb:data:text/html,x"
      "\x03HTTPS://ok.example/a b?c=1&d=\"2\"\x03mailto:m@example.org\x03" "file:///etc/passwd>"
      "<company:O'Brien & Co>&lt;kept&gt;\r\n");
  const std::string body = Between(page, "<main id=\"entries\">", "</main>");
  // A tag's value ends at its first ">": the rest goes on in the notes.
  for (const char* raw : {"<b>", "<i>", "<script", "</script", "<0100", "<Elm", "&amp;B", "&lt;kept"}) {
    EXPECT_EQ(Count(body, raw), 0u) << raw;
  }
  for (const char* escaped :
       {"&lt;b&gt;x", "Tom &amp; &quot;Jerry&quot; &lt;script", "alert(1)&lt;/script&gt;&gt;",
        "555 &lt;0100", "&amp; &#39;x&#39;&gt;", "1 &lt;Elm", "St<br>Springfield&gt;", "A&amp;amp;B",
        "O&#39;Brien &amp; Co", "&amp;lt;kept&amp;gt;", "javascript:alert(1)",
        "JavaScript:alert(2)", "data:text/html,x", "file:///etc/passwd"}) {
    EXPECT_TRUE(Has(body, escaped)) << escaped;
  }
  // Every "&" of the page's text (not its script) starts an entity.
  EXPECT_EQ(All(Between(page, "<body>", "<script>"), "&(?!(amp|lt|gt|quot|#39);)(.{0,12})"),
            std::vector<std::string>{});
  const std::vector<std::string> links = All(body, "href=\"([^\"]*)\"");
  const std::vector<std::string> expected{
      "mailto:a%26b@example.org", "HTTPS://ok.example/a%20b?c=1&amp;d=&quot;2&quot;",
      "mailto:m@example.org"};
  std::vector<std::string> seen;
  for (const std::string& link : links) {
    if (link.rfind("data:text/vcard;", 0) == 0) continue;
    seen.push_back(link);
  }
  EXPECT_EQ(seen, expected);
}

// As the documented page orders its rows: letter case ignored (Latin-1
// letters too), digits and signs before letters; a heading per letter and
// an index entry per heading.
TEST(HtmlPage, SortedByNicknameUnderLetterHeadings) {
  const Page page = Make({{"Eudora Nicknames",
                           "alias Zed z@x\r\nalias adam a@x\r\nalias \xC9mile e@x\r\n"
                           "alias Bob b@x\r\nalias 1st f@x\r\nalias \xE9ric r@x\r\n"
                           "alias ALAN l@x\r\nalias _x u@x\r\n"}});
  const std::vector<std::string> order = All(page.text, "<article id=\"c\\d+\"><h3>([^ <]*)");
  EXPECT_EQ(order, (std::vector<std::string>{"1st", "_x", "adam", "ALAN", "Bob", "Zed",
                                             "\xC3\x89mile", "\xC3\xA9ric"}));
  const std::vector<std::string> headings = All(page.text, "<h2>([^<]*)</h2>");
  EXPECT_EQ(headings, (std::vector<std::string>{"#", "A", "B", "Z", "\xC3\x89"}));
  const std::vector<std::string> index = All(page.text, "<li><a href=\"#(l\\d+)\">");
  const std::vector<std::string> sections = All(page.text, "<section id=\"(l\\d+)\">");
  EXPECT_EQ(index, sections);
  EXPECT_EQ(sections.size(), headings.size());
}

// A letter's entries stand in runs of at most 48, each run within its
// letter's section and none empty; every entry is in one, in order.
TEST(HtmlPage, EachLettersEntriesStandInRunsWithinItsSection) {
  std::string book;
  for (int i = 0; i < 100; ++i) book += "alias a" + std::to_string(1000 + i) + " x@x\r\n";
  book += "alias b1 y@x\r\n";
  const std::string page = Make(book);
  std::vector<std::size_t> runs;
  std::vector<std::string> order;
  const std::string open = "<div class=\"run\">";
  for (std::size_t at = page.find("<section"); at != std::string::npos;
       at = page.find("<section", at + 1)) {
    const std::size_t end = page.find("</section>", at);
    ASSERT_NE(end, std::string::npos);
    const std::string section = page.substr(at, end - at);
    const std::size_t first = section.find(open);
    ASSERT_NE(first, std::string::npos);
    // Nothing but the heading before the first run, nothing after the last.
    EXPECT_EQ(section.substr(0, first).find("<article"), std::string::npos);
    EXPECT_EQ(section.substr(section.rfind("</div>")), "</div>");
    for (std::size_t run = first; run != std::string::npos; run = section.find(open, run + 1)) {
      const std::size_t close = section.find("</div>", run);
      ASSERT_NE(close, std::string::npos);
      const std::vector<std::string> names =
          All(section.substr(run, close - run), "<article id=\"c\\d+\"><h3>([^ <]*)");
      runs.push_back(names.size());
      order.insert(order.end(), names.begin(), names.end());
    }
  }
  EXPECT_EQ(runs, (std::vector<std::size_t>{48, 48, 4, 1}));
  ASSERT_EQ(order.size(), 101u);
  EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
  EXPECT_EQ(Count(page, "<article"), 101u);
}

// A list's members link to their own entries, which are on the page.
TEST(HtmlPage, ListsLinkEachMemberToItsEntry) {
  const std::string page = Make(
      "alias ann ann@x\r\nnote ann <name:Ann Lee>\r\nalias bob bob@x\r\n"
      "alias pair ann, bob\r\nalias all pair, carol@x\r\n");
  const std::vector<std::string> ids = All(page, "<article id=\"(c\\d+)\"");
  ASSERT_EQ(ids.size(), 4u);
  const std::string pair = Between(page, "<h3>pair", "</article>");
  EXPECT_TRUE(Has(pair, "<span class=\"kind\">list</span>"));
  const std::vector<std::string> members = All(pair, "<li><a href=\"#(c\\d+)\">([^<]*)</a>");
  EXPECT_EQ(members.size(), 2u);
  EXPECT_TRUE(Has(pair, ">ann</a> Ann Lee</li>")) << pair;
  EXPECT_TRUE(Has(pair, ">bob</a></li>")) << pair;
  for (const std::string& member : All(page, "<li><a href=\"#(c\\d+)\">")) {
    EXPECT_NE(std::find(ids.begin(), ids.end(), member), ids.end()) << member;
  }
  const std::string all = Between(page, "<h3>all", "</article>");
  EXPECT_TRUE(Has(all, "href=\"mailto:carol@x\"")) << all;
  EXPECT_TRUE(Has(all, ">pair</a>")) << all;
}

// Each entry's vCard link holds the card the vCard export writes for it.
TEST(HtmlPage, EachVCardLinkHoldsTheContactsCard) {
  const std::string book =
      "alias ann Ann Lee <ann@x>\r\nnote ann <phone:555 0100><address:1 Elm St\x03Town>"
      "Gr\xFC\xDF\x65 & 100% #1\r\nalias \"a b/c\" ab@x\r\nalias team ann, ab@x\r\n";
  std::vector<std::string> cards;
  [[maybe_unused]] const ExportResult vcards = ExportContacts({{"Eudora Nicknames", book}}, ExportFormat::kVCard30, Charset::kWindows1252,
                 [&cards](std::string_view card) { cards.emplace_back(card); });
  const std::string page = Make(book);
  const std::vector<std::string> uris =
      All(page, "<a href=\"data:text/vcard;charset=utf-8,([^\"]*)\" download=\"");
  ASSERT_EQ(uris.size(), cards.size());
  std::vector<std::string> decoded;
  for (const std::string& uri : uris) {
    EXPECT_EQ(uri.find_first_of(" \r\n#&<>\"'"), std::string::npos) << uri;
    decoded.push_back(PercentDecoded(uri));
  }
  std::sort(decoded.begin(), decoded.end());
  std::sort(cards.begin(), cards.end());
  EXPECT_EQ(decoded, cards);
  EXPECT_EQ(All(page, "download=\"([^\"]*)\""),
            (std::vector<std::string>{"a_b_c.vcf", "ann.vcf", "team.vcf"}));
}

// The heading names the book, the date given and the counts; the text is
// UTF-8 whatever the book's set was.
TEST(HtmlPage, HeadingDateCountsAndUtf8) {
  const Page page = Make({{"friends", "alias zoe Zo\xEB M\xFCller <z@x>\r\nalias all zoe\r\n"}});
  EXPECT_TRUE(Has(page.text, "<title>friends</title>"));
  EXPECT_TRUE(Has(page.text, "<h1>friends</h1>"));
  EXPECT_TRUE(
      Has(page.text, "1 contact and 1 list, <time datetime=\"2026-03-05\">5 March 2026</time>"));
  EXPECT_TRUE(Has(page.text, "<p id=\"count\" role=\"status\">2 entries</p>"));
  EXPECT_TRUE(Has(page.text, "Zo\xC3\xAB M\xC3\xBCller"));
  // The head, an entry each, the end.
  EXPECT_EQ(page.pieces, 2u + 2u);

  const Page several = Make({{"Eudora Nicknames", "alias a a@x\r\n"},
                             {"work & play", "alias b b@x\r\nalias c c@x\r\n"}});
  EXPECT_TRUE(Has(several.text, "<h1>Address books</h1>"));
  EXPECT_TRUE(Has(several.text, "Eudora Nicknames, work &amp; play: 3 contacts and 0 lists"));
  EXPECT_EQ(Count(several.text, "<dt>Book</dt><dd>work &amp; play</dd>"), 2u);

  const Page empty = Make({{"empty", ""}});
  EXPECT_TRUE(Has(empty.text, "0 contacts and 0 lists"));
  EXPECT_EQ(Count(empty.text, "<section"), 0u);
  EXPECT_TRUE(Has(empty.text, "<main id=\"entries\">\n</main>"));
}

// Progress counts entries: the head and the end are no contacts.
TEST(HtmlPage, ProgressCountsEntriesOnly) {
  std::vector<std::pair<std::size_t, std::size_t>> seen;
  [[maybe_unused]] const ExportResult result = ExportContacts(
      {{"b", "alias a a@x\r\nalias b b@x\r\nalias c c@x\r\n"}}, ExportFormat::kHtml,
      Charset::kWindows1252, [](std::string_view) {},
      [&seen](std::size_t written, std::size_t total) { seen.emplace_back(written, total); },
      kDate);
  ASSERT_FALSE(seen.empty());
  for (const auto& [written, total] : seen) EXPECT_LE(written, total);
  EXPECT_EQ(seen.front(), (std::pair<std::size_t, std::size_t>{1, 3}));
  EXPECT_EQ(seen.back(), (std::pair<std::size_t, std::size_t>{3, 3}));
}

}  // namespace
}  // namespace veltrana
