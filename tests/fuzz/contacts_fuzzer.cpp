// Any bytes as an address book for the export (the first byte chooses its
// character set). Every contact gives a vCard 3.0 and 4.0 card that opens
// and closes, whose lines are valid UTF-8 of at most 75 octets ended by
// CR LF, a CSV row whose line breaks are CR LF, LDIF whose every line is a
// comment or an attribute with a safe value (folded at 76 octets), an alias
// file where no character the configuration reader acts on is left bare,
// and a page of today whose every element is one the page writes (the
// book's text makes none), whose every "&" starts an entity, and which has
// one script.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "formats/export.h"
#include "support/fuzz_property.h"

namespace {

using namespace veltrana;
using test::Check;
using test::Fail;

void CheckCard(const std::string& card) {
  Check(card.rfind("BEGIN:VCARD\r\n", 0) == 0, "a card opens");
  Check(card.size() >= 11 && card.compare(card.size() - 11, 11, "END:VCARD\r\n") == 0,
        "a card closes");
  Check(ToUtf8(card, Charset::kUtf8).replaced == 0, "a card is UTF-8 text");
  std::size_t start = 0;
  while (start < card.size()) {
    const std::size_t end = card.find("\r\n", start);
    Check(end != std::string::npos, "every line ends with CR LF");
    Check(end - start <= 75, "no line is longer than 75 octets");
    Check(card.find_first_of("\r\n", start) == end, "no bare line end");
    start = end + 2;
  }
}

void CheckRow(const std::string& row) {
  Check(row.size() >= 2 && row.compare(row.size() - 2, 2, "\r\n") == 0, "a row ends with CR LF");
  for (std::size_t i = row.find('\n'); i != std::string::npos; i = row.find('\n', i + 1)) {
    Check(i > 0 && row[i - 1] == '\r', "a row's line breaks are CR LF");
  }
}

// The lines of a file whose every line ends with a line feed.
std::vector<std::string_view> Lines(const std::string& text) {
  std::vector<std::string_view> lines;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = text.find('\n', start);
    Check(end != std::string::npos, "every line ends");
    lines.emplace_back(text.data() + start, end - start);
    start = end + 1;
  }
  return lines;
}

void CheckLdif(const std::string& ldif) {
  for (const std::string_view line : Lines(ldif)) {
    if (line.empty() || line.front() == '#') continue;
    Check(line.size() <= 76, "a line is folded at 76 octets");
    if (line.front() == ' ') {  // the rest of a folded line
      for (const char c : line) {
        Check(static_cast<unsigned char>(c) < 0x80 && c != '\r' && c != '\0',
              "a folded value is plain ASCII or base64");
      }
      continue;
    }
    const std::size_t colon = line.find(':');
    Check(colon != std::string_view::npos && colon > 0, "an attribute has a name");
    const bool base64 = line.substr(colon, 2) == "::";
    for (const char c : line.substr(colon)) {
      Check(static_cast<unsigned char>(c) < 0x80 && c != '\r' && c != '\0',
            "an attribute's value is plain ASCII or base64");
    }
    Check(base64 || line.size() == colon + 1 || line[colon + 1] == ' ', "a blank after the colon");
    Check(base64 || line.size() <= colon + 2 ||
              (line[colon + 2] != ' ' && line[colon + 2] != ':' && line[colon + 2] != '<'),
          "a value that needs base64 has it");
  }
}

void CheckAliases(const std::string& aliases) {
  for (const std::string_view line : Lines(aliases)) {
    if (line.rfind("# ", 0) == 0) continue;
    Check(line.rfind("alias ", 0) == 0, "a line is an alias or a comment");
    for (std::size_t i = 0; i < line.size(); ++i) {
      if (line[i] == '\\') {
        ++i;
        continue;
      }
      Check(line[i] != '`' && line[i] != '$' && line[i] != '#' && line[i] != '\r',
            "no backtick, variable, comment or CR left bare");
    }
  }
}

void CheckPage(const std::string& page) {
  static const std::vector<std::string_view> kElements{
      "header", "h1", "p", "time", "div", "label", "input", "nav", "ul", "li", "a", "main",
      "section", "h2", "article", "h3", "span", "dl", "dt", "dd", "br", "footer"};
  const std::size_t body = page.find("<body>");
  const std::size_t script = page.find("<script>");
  Check(body != std::string::npos && script != std::string::npos && script > body &&
            page.find("<script", script + 1) == std::string::npos,
        "a body, and one script after it");
  for (std::size_t i = body + 6; i < script; ++i) {
    const char c = page[i];
    Check(static_cast<unsigned char>(c) >= 0x20 || c == '\n' || c == '\t', "no control character");
    if (c == '&') {
      const std::string_view rest = std::string_view(page).substr(i, 6);
      Check(rest.rfind("&amp;", 0) == 0 || rest.rfind("&lt;", 0) == 0 ||
                rest.rfind("&gt;", 0) == 0 || rest.rfind("&quot;", 0) == 0 ||
                rest.rfind("&#39;", 0) == 0,
            "every & starts an entity");
    }
    if (c != '<') continue;
    std::size_t end = i + 1 + (page[i + 1] == '/' ? 1 : 0);
    const std::size_t name = end;
    while (end < script && page[end] >= 'a' && page[end] <= 'z') ++end;
    while (end < script && page[end] >= '1' && page[end] <= '6') ++end;
    const std::string_view element = std::string_view(page).substr(name, end - name);
    bool known = false;
    for (const std::string_view allowed : kElements) known = known || element == allowed;
    Check(known && (page[end] == '>' || page[end] == ' '), "only the page's own elements");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const auto charset = static_cast<Charset>(data[0] % 4);
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  const auto each = [&](ExportFormat format, const std::function<void(const std::string&)>& check) {
    std::string text;
    std::size_t pieces = 0;
    const ExportResult result =
        ExportContacts({{"Eudora Nicknames", bytes}}, format, charset, [&](std::string_view piece) {
          text.append(piece);
          ++pieces;
          if (format != ExportFormat::kLdif && format != ExportFormat::kMutt &&
              format != ExportFormat::kHtml) {
            check(std::string(piece));
          }
        });
    const std::size_t around =
        format == ExportFormat::kCsv ? 1 : format == ExportFormat::kHtml ? 2 : 0;
    Check(pieces == result.contacts + result.lists + around,
          "a piece per contact, and the CSV file's header, the page's head and end");
    if (format == ExportFormat::kLdif || format == ExportFormat::kMutt ||
        format == ExportFormat::kHtml) {
      check(text);
    }
  };
  each(ExportFormat::kVCard30, CheckCard);
  each(ExportFormat::kVCard40, CheckCard);
  each(ExportFormat::kCsv, CheckRow);
  each(ExportFormat::kLdif, CheckLdif);
  each(ExportFormat::kMutt, CheckAliases);
  each(ExportFormat::kHtml, CheckPage);
  return 0;
}
