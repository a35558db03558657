#include "formats/mutt_writer.h"

#include <string>
#include <vector>

#include "text/utf8_text.h"

namespace veltrana {

namespace {

// Characters the configuration reader acts on, inside a token or not.
bool IsSpecialInRc(char c) {
  return c == '\\' || c == '`' || c == '$' || c == '#' || c == ';' || c == '"' || c == '\'';
}

// The rest of the line (the address list) is read without splitting at
// blanks or semicolons and without taking quotes away; what remains
// special there is escaped.
void AppendRcText(std::string_view text, std::string& out) {
  for (const char c : text) {
    if (c == '\\' || c == '`' || c == '$' || c == '#') out += '\\';
    out += c == '\r' || c == '\n' ? ' ' : c;
  }
}

void AppendMuttToken(std::string_view text, std::string& out) {
  for (const char c : text) {
    if (c == ' ' || c == '\t' || IsSpecialInRc(c)) out += '\\';
    out += c == '\r' || c == '\n' ? ' ' : c;
  }
}

// A display name as RFC 5322 writes it: bare when it is words of letters,
// digits and blanks, else in double quotes.
std::string Phrase(std::string_view name) {
  const std::string collapsed = CollapseSpace(name);
  bool plain = true;
  for (const char c : collapsed) {
    const auto byte = static_cast<unsigned char>(c);
    if (!(byte >= 0x80 || c == ' ' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
          (c >= 'a' && c <= 'z') || c == '-' || c == '\'' || c == '!')) {
      plain = false;
    }
  }
  if (plain) return collapsed;
  std::string quoted = "\"";
  for (const char c : collapsed) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

// A nickname that another alias line may name: one word of the characters
// an address's local part allows.
bool IsPlainKey(std::string_view nickname) {
  if (nickname.empty()) return false;
  for (const char c : nickname) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80 && !((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
                         (c >= 'a' && c <= 'z') || c == '-' || c == '_' || c == '.' || c == '+')) {
      return false;
    }
  }
  return true;
}

}  // namespace

// Each line is made in the same two buffers, its items first.
void WriteMuttAliases(const ContactBook& book, const ExportSink& sink) {
  std::vector<std::string> groups;  // per book, "-group NAME " or nothing
  for (const BookSummary& summary : book.books()) {
    std::string& group = groups.emplace_back();
    if (summary.name.empty()) continue;
    group = "-group ";
    AppendMuttToken(summary.name, group);
    group += ' ';
  }
  std::string line, items;
  std::vector<Email> addresses;
  Contact c;
  for (std::size_t i = 0; i < book.size(); ++i) {
    book.Get(i, c);
    items.clear();
    const auto add = [&](std::string_view before, std::string_view item, std::string_view after) {
      items.append(items.empty() ? "" : ", ").append(before).append(item).append(after);
    };
    // The display name goes with the first address when it is a name, not
    // the nickname or the address standing in for one.
    const bool named =
        c.full_name != c.nickname && (c.emails.empty() || c.full_name != c.emails[0].address);
    for (std::size_t e = 0; e < c.emails.size(); ++e) {
      const std::string_view name = !c.emails[e].real_name.empty()
                                        ? c.emails[e].real_name
                                        : (e == 0 && named ? c.full_name : std::string_view());
      if (name.empty()) {
        add("<", c.emails[e].address, ">");
      } else {
        add(Phrase(name), " <", "");
        items.append(c.emails[e].address).append(">");
      }
    }
    for (const std::size_t m : c.members) {
      const std::string_view nickname = book.IdentityOf(m).nickname;
      if (IsPlainKey(nickname)) {
        add("", nickname, "");
      } else {  // a nickname an address list cannot name: its addresses
        book.AddressesOf(m, addresses);
        for (const Email& address : addresses) add("<", address.address, ">");
      }
    }
    const bool no_address = items.empty() || c.nickname.empty();
    line.assign(no_address ? "# alias " : "alias ");
    line.append(groups[c.book]);
    AppendMuttToken(c.nickname, line);
    if (no_address) {
      line.append(" (no address)\n");
    } else {
      line += ' ';
      AppendRcText(items, line);
      line += '\n';
    }
    sink(line);
  }
}

}  // namespace veltrana
