#include "formats/mutt_writer.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <unordered_set>
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

// A name made a token of its own: blanks and what the reader acts on
// escaped. (Control characters are gone by then: CleanName.)
void AppendMuttToken(std::string_view text, std::string& out) {
  for (const char c : text) {
    if (c == ' ' || IsSpecialInRc(c)) out += '\\';
    out += c;
  }
}

bool IsControl(char c) {
  return static_cast<unsigned char>(c) < 0x20 || c == '\x7F';
}

// A name as an alias or group name can hold it: each control character
// "_" (the reader would end the line at a line feed, and a blank it makes
// separates words), and a "_" before a "-" that opens it, which the reader
// would take for an option.
std::string CleanName(std::string_view name) {
  std::string clean;
  if (name.starts_with('-')) clean += '_';
  for (const char c : name) clean += IsControl(c) ? '_' : c;
  return clean;
}

// A text as a warning or a comment shows it: each control character as
// "\xNN".
std::string Shown(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string shown;
  for (const char c : text) {
    if (IsControl(c)) {
      const auto byte = static_cast<unsigned char>(c);
      shown.append("\\x").append(1, kHex[byte >> 4]).append(1, kHex[byte & 0x0F]);
    } else {
      shown += c;
    }
  }
  return shown;
}

// An address mutt reads as one: none of what separates or encloses
// addresses, and no blank or control character.
bool IsOneAddress(std::string_view address) {
  return !address.empty() && std::none_of(address.begin(), address.end(), [](char c) {
    return IsControl(c) || c == ' ' || c == ',' || c == ';' || c == ':' || c == '<' ||
           c == '>' || c == '(' || c == ')' || c == '"' || c == '\\';
  });
}

// Warnings, the first kShown of them each in full, then a count.
class Warnings {
 public:
  explicit Warnings(std::vector<std::string>& to) : to_(to) {}
  ~Warnings() {
    if (more_ > 0) {
      to_.push_back("and " + std::to_string(more_) + " more such notes on the alias file");
    }
  }
  Warnings(const Warnings&) = delete;
  Warnings& operator=(const Warnings&) = delete;
  void Add(std::string text) {
    if (shown_ < kShown) {
      to_.push_back(std::move(text));
      ++shown_;
    } else {
      ++more_;
    }
  }

 private:
  static constexpr std::size_t kShown = 50;
  std::vector<std::string>& to_;
  std::size_t shown_ = 0, more_ = 0;
};

// Per contact, its alias name: its nickname made clean, and made unique
// (letter case ignored, as mutt finds an alias) by "-2", "-3" ... where an
// earlier contact has it, the first contact of each name keeping it.
// The names taken are views of `names`, which keeps its size, compared with
// letter case ignored: no lower-case copy of each.
std::vector<std::string> AliasNames(const ContactBook& book, Warnings& warnings) {
  std::vector<std::string> names(book.size());
  std::vector<std::size_t> again;  // the contacts whose name an earlier one has
  std::unordered_set<std::string_view, FoldedHash, FoldedEqual> taken;
  taken.reserve(book.size());
  for (std::size_t i = 0; i < book.size(); ++i) {
    const std::string_view nickname = book.IdentityOf(i).nickname;
    if (nickname.empty()) continue;
    names[i] = CleanName(nickname);
    if (names[i] != nickname) {
      warnings.Add("the nickname \"" + Shown(nickname) +
                   "\" would be read as an option or holds a control character: its alias "
                   "is \"" + names[i] + "\"");
    }
    if (!taken.insert(names[i]).second) again.push_back(i);
  }
  // Per name taken again, the number its next contact tries first: many
  // contacts of one name (a tab and a "_" make the same name) each try on
  // from where the one before stopped, not from 2 again.
  std::unordered_map<std::string, std::size_t, FoldedHash, FoldedEqual> next_number;
  for (const std::size_t i : again) {
    const std::string was = names[i];
    std::size_t& n = next_number.try_emplace(was, 2).first->second;
    for (;; ++n) {
      names[i] = was + "-" + std::to_string(n);  // in its place before it is taken
      if (taken.insert(names[i]).second) break;
    }
    ++n;
    warnings.Add("the nickname \"" + Shown(was) + "\" of " + book.books()[book.BookOf(i)].name +
                 " is that of an earlier contact: its alias is \"" + names[i] + "\"");
  }
  return names;
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
void WriteMuttAliases(const ContactBook& book, const ExportSink& sink,
                      std::vector<std::string>& warning_list) {
  Warnings warnings(warning_list);
  std::vector<std::string> groups;  // per book, "-group NAME " or nothing
  for (const BookSummary& summary : book.books()) {
    std::string& group = groups.emplace_back();
    if (summary.name.empty()) continue;
    const std::string name = CleanName(summary.name);
    if (name != summary.name) {
      warnings.Add("the book \"" + Shown(summary.name) +
                   "\" has a name that would be read as an option or holds a control "
                   "character: its group is \"" + name + "\"");
    }
    group = "-group ";
    AppendMuttToken(name, group);
    group += ' ';
  }
  const std::vector<std::string> names = AliasNames(book, warnings);
  std::string line, items, left_out;
  std::vector<Email> addresses;
  Contact c;
  for (std::size_t i = 0; i < book.size(); ++i) {
    book.Get(i, c);
    items.clear();
    left_out.clear();
    const auto add = [&](std::string_view before, std::string_view item, std::string_view after) {
      items.append(items.empty() ? "" : ", ").append(before).append(item).append(after);
    };
    const auto add_address = [&](std::string_view phrase, std::string_view address) {
      if (!IsOneAddress(address)) {
        left_out.append("# ").append(Shown(names[i])).append(": not an address mutt reads, ")
            .append("left out: ").append(Shown(address)).append("\n");
        warnings.Add("the address \"" + Shown(address) + "\" of \"" + Shown(c.nickname) +
                     "\" is not one mutt reads: left out of its alias");
        return;
      }
      if (phrase.empty()) return add("<", address, ">");
      add(Phrase(phrase), " <", "");
      items.append(address).append(">");
    };
    // The display name goes with the first address when it is a name, not
    // the nickname or the address standing in for one.
    const bool named =
        c.full_name != c.nickname && (c.emails.empty() || c.full_name != c.emails[0].address);
    for (std::size_t e = 0; e < c.emails.size(); ++e) {
      add_address(!c.emails[e].real_name.empty()
                      ? c.emails[e].real_name
                      : (e == 0 && named ? c.full_name : std::string_view()),
                  c.emails[e].address);
    }
    // A contact that leads back to itself is written as every address it
    // stands for: aliases that name each other round in a ring crash
    // NeoMutt (20220429) when it sends to one of them.
    if (book.OnCycle(i)) {
      book.AddressesOf(i, addresses);
      for (std::size_t e = c.emails.size(); e < addresses.size(); ++e) {
        add_address({}, addresses[e].address);
      }
      c.members.clear();
    }
    for (const std::size_t m : c.members) {
      // A member that stands for no address has no alias, and its name
      // would be taken for a local mailbox.
      book.AddressesOf(m, addresses, 1);
      if (addresses.empty()) continue;
      if (IsPlainKey(names[m])) {
        add("", names[m], "");
      } else {  // a name an address list cannot name: its addresses
        book.AddressesOf(m, addresses);
        for (const Email& address : addresses) add_address({}, address.address);
      }
    }
    const bool no_address = items.empty() || c.nickname.empty();
    line.assign(left_out).append(no_address ? "# alias " : "alias ");
    line.append(groups[c.book]);
    AppendMuttToken(names[i], line);
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
