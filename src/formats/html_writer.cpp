#include "formats/html_writer.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <numeric>
#include <string>
#include <string_view>
#include <vector>

#include "base/program_identity.h"
#include "formats/html_page_parts.h"
#include "formats/sha256.h"
#include "formats/vcard_writer.h"
#include "text/utf8_text.h"

namespace veltrana {

namespace {

// ---- escaping -------------------------------------------------------------

// What becomes of each byte of a text: itself, an entity, a line break, or
// the replacement character for a control the book should not hold.
enum Byte : std::uint8_t { kSelf, kEntity, kBreak, kReturn, kControl };

constexpr std::array<std::uint8_t, 256> kTextBytes = [] {
  std::array<std::uint8_t, 256> kinds{};
  for (unsigned c = 0; c < 0x20; ++c) kinds[c] = kControl;
  kinds['\t'] = kSelf;
  kinds['\n'] = kBreak;
  kinds['\r'] = kReturn;
  kinds[0x7F] = kControl;
  for (const char c : {'&', '<', '>', '"', '\''}) kinds[static_cast<unsigned char>(c)] = kEntity;
  return kinds;
}();

void AppendEntity(char c, std::string& out) {
  switch (c) {
    case '&': out += "&amp;"; break;
    case '<': out += "&lt;"; break;
    case '>': out += "&gt;"; break;
    case '"': out += "&quot;"; break;
    default: out += "&#39;"; break;
  }
}

// `text` as HTML text, fit for an element or a quoted attribute: the five
// characters that mean something there as entities; a line break (LF, CR
// LF or CR) as "<br>", or as a blank where `breaks` is false (an
// attribute); a control character as U+FFFD.
void AppendEscaped(std::string_view text, std::string& out, bool breaks = true) {
  std::size_t run = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::uint8_t kind = kTextBytes[static_cast<unsigned char>(text[i])];
    if (kind == kSelf) continue;
    out.append(text, run, i - run);
    run = i + 1;
    switch (kind) {
      case kEntity: AppendEntity(text[i], out); break;
      case kReturn:
        if (i + 1 < text.size() && text[i + 1] == '\n') break;  // the LF breaks the line
        [[fallthrough]];
      case kBreak: out += breaks ? "<br>" : " "; break;
      default: out += "\xEF\xBF\xBD"; break;
    }
  }
  out.append(text, run, std::string_view::npos);
}

// Bytes a URI may hold as they are: unreserved characters and the
// delimiters that mean nothing in a quoted HTML attribute.
constexpr std::array<bool, 256> UriBytes(std::string_view also) {
  std::array<bool, 256> plain{};
  for (unsigned c = '0'; c <= '9'; ++c) plain[c] = true;
  for (unsigned c = 'A'; c <= 'Z'; ++c) plain[c] = true;
  for (unsigned c = 'a'; c <= 'z'; ++c) plain[c] = true;
  for (const char c : std::string_view("-._~")) plain[static_cast<unsigned char>(c)] = true;
  for (const char c : also) plain[static_cast<unsigned char>(c)] = true;
  return plain;
}
// A data: URI's content, and an address after "mailto:" (RFC 6068 asks for
// "%", "/", "?", "#" and the like to be encoded there).
constexpr std::array<bool, 256> kDataBytes = UriBytes("!*();:@=+,/$");
constexpr std::array<bool, 256> kMailtoBytes = UriBytes("!*@=+$");

// Written through a pointer into room for the longest outcome (each byte
// as "%XX"): a vCard has a byte to encode every few, too many for an
// append each.
void AppendPercentEncoded(std::string_view text, const std::array<bool, 256>& plain,
                          std::string& out) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  const std::size_t start = out.size();
  out.resize(start + 3 * text.size());
  char* to = out.data() + start;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (plain[byte]) {
      *to++ = c;
      continue;
    }
    to[0] = '%';
    to[1] = kHex[byte >> 4];
    to[2] = kHex[byte & 15];
    to += 3;
  }
  out.resize(static_cast<std::size_t>(to - out.data()));
}

// A web page's address as a link target, when it is one the page links
// to: http:, https: or mailto: (letter case ignored), nothing else.
bool IsLinkedScheme(std::string_view url) {
  for (const std::string_view scheme : {"http:", "https:", "mailto:"}) {
    if (url.size() > scheme.size() && EqualIgnoringAsciiCase(url.substr(0, scheme.size()), scheme))
      return true;
  }
  return false;
}

// A web page's address inside href="...": blanks and controls
// percent-encoded (a browser would drop or fold them), every other byte as
// it is, then escaped as text.
constexpr std::array<bool, 256> kHrefBytes = [] {
  std::array<bool, 256> plain{};
  for (unsigned c = 0x21; c < 0x100; ++c) plain[c] = c != 0x7F;
  return plain;
}();

void AppendHref(std::string_view url, std::string& out) {
  std::string target;
  AppendPercentEncoded(url, kHrefBytes, target);
  AppendEscaped(target, out, false);
}

// ---- numbers and dates --------------------------------------------------------

std::string Grouped(std::size_t number) {
  std::string digits = std::to_string(number);
  for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ",");
  return digits;
}

std::string Counted(std::size_t number, std::string_view one, std::string_view many) {
  return Grouped(number) + " " + std::string(number == 1 ? one : many);
}

// "Veltrana 1.2", as the page's generator and its credit line name it.
std::string ProgramName() {
  return std::string(kAppTitle) + " " + std::to_string(kVersionMajor) + "." +
         std::to_string(kVersionMinor);
}

std::string TwoDigits(int number) {
  return std::string(number < 10 ? "0" : "") + std::to_string(number);
}

std::string IsoDate(const CalendarDate& date) {
  std::string year = std::to_string(date.year);
  year.insert(0, year.size() < 4 ? 4 - year.size() : 0, '0');
  return year + "-" + TwoDigits(date.month) + "-" + TwoDigits(date.day);
}

std::string LongDate(const CalendarDate& date) {
  static constexpr std::array<std::string_view, 12> kMonths{
      "January", "February", "March",     "April",   "May",      "June",
      "July",    "August",   "September", "October", "November", "December"};
  const std::size_t month = date.month >= 1 && date.month <= 12 ? date.month - 1 : 0;
  return std::to_string(date.day) + " " + std::string(kMonths[month]) + " " +
         std::to_string(date.year);
}

// ---- the order and the letters ------------------------------------------------

// The contacts in the order of their nicknames, letter case ignored as the
// documented page ignores it; equal keys keep the order of the books.
std::vector<std::size_t> SortedByNickname(const ContactBook& book,
                                          std::vector<std::string>& keys) {
  keys.resize(book.size());
  for (std::size_t i = 0; i < book.size(); ++i) {
    FoldUtf8Into(book.IdentityOf(i).nickname, keys[i]);
  }
  std::vector<std::size_t> order(book.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&keys](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
  return order;
}

// The heading an entry goes under, from its folded key: an ASCII letter,
// a Latin-1 letter (these sort after "z"), "#" for what sorts before "a",
// and "…" for anything else after "z".
std::string LetterOf(std::string_view key) {
  if (key.empty()) return "#";
  const auto first = static_cast<unsigned char>(key[0]);
  if (first < 'a') return "#";
  if (first <= 'z') return std::string(1, static_cast<char>(first - 'a' + 'A'));
  if (first == 0xC3 && key.size() > 1) {
    const auto second = static_cast<unsigned char>(key[1]);
    if (second == 0x9F || second == 0xBF) return std::string(key.substr(0, 2));  // ß, ÿ
    if (second >= 0xA0 && second <= 0xBE && second != 0xB7) {
      return {static_cast<char>(0xC3), static_cast<char>(second - 0x20)};
    }
  }
  return "\xE2\x80\xA6";
}

// ---- the entries ------------------------------------------------------------------

constexpr std::array<std::string_view, 7> kPhoneLabels{
    "Phone", "Work phone", "Mobile", "Fax", "Other phone", "Work mobile", "Work fax"};
constexpr std::array<std::string_view, 3> kWebLabels{"Home page", "Work page", "Web page"};
static_assert(kPhoneLabels.size() == kPhoneTags.size() && kWebLabels.size() == kWebTags.size());

class PageWriter {
 public:
  PageWriter(const ContactBook& book, const CalendarDate& date, const ExportSink& sink)
      : book_(book), date_(date), sink_(sink), cards_(book, VCardVersion::k30) {}
  void Write();

 private:
  void Head(const std::vector<std::string>& letters);
  void Entry(std::size_t index);
  void Term(std::string_view label) { out_.append("<dt>").append(label).append("</dt>"); }
  void Value(std::string_view text);
  void Beside(std::string_view name, std::string_view shown, std::string_view before,
              std::string_view after);
  void Emails();
  void Members();
  void Addresses(const std::vector<PostalAddress>& addresses, std::string_view label);
  void WebPages();
  void CardLink(std::size_t index);
  [[nodiscard]] std::string BookNames() const;

  const ContactBook& book_;
  const CalendarDate& date_;
  const ExportSink& sink_;
  std::string out_;
  Contact contact_;
  VCardMaker cards_;
};

std::string PageWriter::BookNames() const {
  std::string names;
  for (const BookSummary& summary : book_.books()) {
    if (!names.empty()) names += ", ";
    AppendEscaped(summary.name, names);
  }
  return names;
}

void PageWriter::Value(std::string_view text) {
  out_ += "<dd>";
  AppendEscaped(text, out_);
  out_ += "</dd>";
}

// `name` after what is written, escaped between `before` and `after`,
// unless it is empty or says what `shown` (already on the page) says.
void PageWriter::Beside(std::string_view name, std::string_view shown, std::string_view before,
                        std::string_view after) {
  if (name.empty() || name == shown) return;
  out_.append(before);
  AppendEscaped(name, out_);
  out_.append(after);
}

void PageWriter::Emails() {
  if (contact_.emails.empty()) return;
  Term(contact_.emails.size() == 1 ? "E-mail" : "E-mails");
  for (const Email& email : contact_.emails) {
    out_ += "<dd><a href=\"mailto:";
    AppendPercentEncoded(email.address, kMailtoBytes, out_);  // nothing left to escape
    out_ += "\">";
    AppendEscaped(email.address, out_);
    out_ += "</a>";
    Beside(email.real_name, contact_.full_name, " (", ")");
    out_ += "</dd>";
  }
}

void PageWriter::Members() {
  if (contact_.members.empty()) return;
  Term(contact_.is_list ? "Members" : "Also");
  out_ += "<dd><ul>";
  for (const std::size_t member : contact_.members) {
    const ContactIdentity who = book_.IdentityOf(member);
    out_.append("<li><a href=\"#c").append(std::to_string(member)).append("\">");
    AppendEscaped(who.nickname, out_);
    out_ += "</a>";
    Beside(who.full_name, who.nickname, " ", "");
    out_ += "</li>";
  }
  out_ += "</ul></dd>";
}

// Street lines; city, region and postal code on one; the country.
void PageWriter::Addresses(const std::vector<PostalAddress>& addresses, std::string_view label) {
  for (const PostalAddress& address : addresses) {
    Term(label);
    out_ += "<dd>";
    bool line = false;
    const auto next = [&] {
      if (line) out_ += "<br>";
      line = true;
    };
    if (!address.street.empty()) {
      next();
      AppendEscaped(address.street, out_);
    }
    if (!address.city.empty() || !address.region.empty() || !address.postal_code.empty()) {
      next();
      AppendEscaped(address.city, out_);
      if (!address.city.empty() && (!address.region.empty() || !address.postal_code.empty()))
        out_ += ", ";
      AppendEscaped(address.region, out_);
      if (!address.region.empty() && !address.postal_code.empty()) out_ += ' ';
      AppendEscaped(address.postal_code, out_);
    }
    if (!address.country.empty()) {
      next();
      AppendEscaped(address.country, out_);
    }
    out_ += "</dd>";
  }
}

void PageWriter::WebPages() {
  for (const WebPage& page : contact_.web_pages) {
    Term(kWebLabels[static_cast<std::size_t>(page.kind)]);
    const std::string_view url = TrimSpace(page.url);
    if (!IsLinkedScheme(url)) {
      Value(page.url);
      continue;
    }
    out_ += "<dd><a href=\"";
    AppendHref(url, out_);
    out_ += "\">";
    AppendEscaped(url, out_);
    out_ += "</a></dd>";
  }
}

// The file name the card is saved under: the nickname's letters, digits
// and "-_." (other characters as "_"), "contact" for none.
void PageWriter::CardLink(std::size_t index) {
  out_ += "<p class=\"card\"><a href=\"data:text/vcard;charset=utf-8,";
  AppendPercentEncoded(cards_.Card(index, contact_), kDataBytes, out_);
  out_ += "\" download=\"";
  std::string name;
  for (const char c : contact_.nickname) {
    const bool plain = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
                       (c >= 'a' && c <= 'z') || c == '-' || c == '_' || c == '.';
    name += plain ? c : '_';
  }
  if (name.find_first_not_of("_.") == std::string::npos) name = "contact";
  out_.append(name).append(".vcf\" aria-label=\"vCard of ");
  AppendEscaped(contact_.nickname, out_, false);
  out_ += "\">vCard</a></p>";
}

void PageWriter::Entry(std::size_t index) {
  book_.Get(index, contact_);
  out_.append("<article id=\"c").append(std::to_string(index)).append("\"><h3>");
  AppendEscaped(contact_.nickname, out_);
  Beside(contact_.full_name, contact_.nickname, " <span class=\"name\">", "</span>");
  if (contact_.is_list) out_ += " <span class=\"kind\">list</span>";
  out_ += "</h3><dl>";
  Emails();
  Members();
  for (const Phone& phone : contact_.phones) {
    Term(kPhoneLabels[static_cast<std::size_t>(phone.kind)]);
    Value(phone.number);
  }
  const bool both = !contact_.home_addresses.empty() && !contact_.work_addresses.empty();
  Addresses(contact_.home_addresses, both ? "Home address" : "Address");
  Addresses(contact_.work_addresses, "Work address");
  WebPages();
  if (!contact_.title.empty()) {
    Term("Title");
    Value(contact_.title);
  }
  if (!contact_.company.empty()) {
    Term("Company");
    Value(contact_.company);
  }
  if (!contact_.notes.empty()) {
    Term("Notes");
    out_ += "<dd>";
    for (std::size_t i = 0; i < contact_.notes.size(); ++i) {
      if (i > 0) out_ += "<br>";
      AppendEscaped(contact_.notes[i], out_);
    }
    out_ += "</dd>";
  }
  if (book_.books().size() > 1) {
    Term("Book");
    Value(book_.books()[contact_.book].name);
  }
  out_ += "</dl>";
  CardLink(index);
  out_ += "</article>\n";
}

void PageWriter::Head(const std::vector<std::string>& letters) {
  // The hashes cover the blocks with the line ends around them, as written.
  static const std::string kStyleHash = Sha256Base64(kHtmlPageStyle);
  static const std::string kScriptHash = Sha256Base64(kHtmlPageScript);
  const std::size_t lists = book_.ListCount();
  const std::size_t people = book_.size() - lists;
  const std::string names = BookNames();
  const std::string title = book_.books().size() == 1 && !names.empty() ? names
                            : book_.books().size() > 1 ? "Address books"
                                                       : "Address book";
  out_.append(
          "<!DOCTYPE html>\n"
          "<html lang=\"en\">\n"
          "<head>\n"
          "<meta charset=\"utf-8\">\n"
          "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
          "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
          "style-src 'sha256-")
      .append(kStyleHash)
      .append("'; script-src 'sha256-")
      .append(kScriptHash)
      .append("'; base-uri 'none'; form-action 'none'\">\n")
      .append("<meta name=\"color-scheme\" content=\"light dark\">\n")
      .append("<meta name=\"generator\" content=\"")
      .append(ProgramName())
      .append("\">\n<title>")
      .append(title)
      .append("</title>\n<style>")
      .append(kHtmlPageStyle)
      .append("</style>\n</head>\n<body>\n<header>\n<h1>")
      .append(title)
      .append("</h1>\n<p class=\"about\">");
  if (book_.books().size() > 1) out_.append(names).append(": ");
  out_.append(Counted(people, "contact", "contacts"))
      .append(" and ")
      .append(Counted(lists, "list", "lists"))
      .append(", <time datetime=\"")
      .append(IsoDate(date_))
      .append("\">")
      .append(LongDate(date_))
      .append("</time></p>\n")
      .append(
          "<div class=\"search\" id=\"search\" role=\"search\" hidden>"
          "<label for=\"find\">Search</label> "
          "<input id=\"find\" type=\"search\" autocomplete=\"off\" spellcheck=\"false\" "
          "aria-describedby=\"count\" aria-controls=\"entries\">"
          " <p id=\"count\" role=\"status\">")
      .append(Counted(book_.size(), "entry", "entries"))
      .append("</p></div>\n</header>\n<nav aria-label=\"Letters\"><ul>");
  for (std::size_t i = 0; i < letters.size(); ++i) {
    out_.append("<li><a href=\"#l").append(std::to_string(i + 1)).append("\">");
    out_.append(letters[i]).append("</a></li>");
  }
  out_ += "</ul></nav>\n<main id=\"entries\">\n";
}

void PageWriter::Write() {
  std::vector<std::string> keys;
  const std::vector<std::size_t> order = SortedByNickname(book_, keys);
  // Each entry's heading, and the headings in their order.
  std::vector<std::string> letters;
  std::vector<std::uint32_t> opens(order.size(), 0);  // 1-based heading it opens, or 0
  for (std::size_t i = 0; i < order.size(); ++i) {
    const std::string letter = LetterOf(keys[order[i]]);
    if (letters.empty() || letters.back() != letter) {
      letters.push_back(letter);
      opens[i] = static_cast<std::uint32_t>(letters.size());
    }
  }
  keys = {};
  Head(letters);
  sink_(out_);
  // A letter's entries go in runs of a few dozen, each of which the
  // browser lays out and paints only while it is near the view: with
  // thousands of entries, one box per entry to watch costs every frame
  // dearly, and a whole letter at once costs the frame that shows it.
  static constexpr std::size_t kRun = 48;
  std::size_t in_run = 0;
  for (std::size_t i = 0; i < order.size(); ++i) {
    out_.clear();
    if (opens[i] != 0) {
      if (i > 0) out_ += "</div></section>\n";
      const std::string id = "l" + std::to_string(opens[i]);
      out_.append("<section id=\"").append(id).append("\"><h2>").append(letters[opens[i] - 1]);
      out_ += "</h2>\n<div class=\"run\">";
      in_run = 0;
    } else if (in_run == kRun) {
      out_ += "</div>\n<div class=\"run\">";
      in_run = 0;
    }
    book_.FetchAhead(order, i);
    Entry(order[i]);
    ++in_run;
    sink_(out_);
  }
  out_.clear();
  if (!order.empty()) out_ += "</div></section>\n";
  out_.append("</main>\n<footer><p>Made by ")
      .append(ProgramName())
      .append(" from ")
      .append(book_.books().empty() ? std::string("no address book") : BookNames())
      .append(".</p></footer>\n<script>")
      .append(kHtmlPageScript)
      .append("</script>\n</body>\n</html>\n");
  sink_(out_);
}

}  // namespace

void WriteHtmlPage(const ContactBook& book, const CalendarDate& date, const ExportSink& sink) {
  PageWriter(book, date, sink).Write();
}

}  // namespace veltrana
