#include "book/address_list.h"

#include <algorithm>

#include "base/nickname_file.h"
#include "text/utf8_text.h"

namespace veltrana {

namespace {

// A quote or bracket that opens a part of an item.
bool IsPartOpening(char c) {
  return c == '"' || c == '(' || c == '<';
}

// The parts of an item, taken apart in one pass.
struct ItemParts {
  std::vector<std::string_view> angles;  // the insides of <...>
  std::vector<std::string> quoted;       // the insides of "..."
  std::vector<std::string> comments;     // the insides of (...), nested ones kept whole
  std::string plain;                     // everything else
};

// Reads a quoted string from the opening quote at `i`; a backslash takes the
// next character as it is. Returns the position after the closing quote.
std::size_t ReadQuoted(std::string_view item, std::size_t i, std::string& into) {
  for (++i; i < item.size() && item[i] != '"'; ++i) {
    if (item[i] == '\\' && i + 1 < item.size()) ++i;
    into += item[i];
  }
  return i + 1;
}

std::size_t ReadComment(std::string_view item, std::size_t i, std::string& into) {
  int depth = 1;
  for (++i; i < item.size(); ++i) {
    const char c = item[i];
    if (c == '\\' && i + 1 < item.size()) {
      into += item[++i];
      continue;
    }
    if (c == '(') ++depth;
    if (c == ')' && --depth == 0) break;
    into += c;
  }
  return i + 1;
}

std::size_t ReadAngle(std::string_view item, std::size_t i, std::string_view& into) {
  const std::size_t close = item.find('>', i + 1);
  const std::size_t end = close == std::string_view::npos ? item.size() : close;
  into = item.substr(i + 1, end - i - 1);
  return end + 1;
}

ItemParts TakeApart(std::string_view item) {
  ItemParts parts;
  std::size_t i = 0;
  while (i < item.size()) {
    const char c = item[i];
    if (c == '"') {
      i = ReadQuoted(item, i, parts.quoted.emplace_back());
    } else if (c == '(') {
      i = ReadComment(item, i, parts.comments.emplace_back());
    } else if (c == '<') {
      i = ReadAngle(item, i, parts.angles.emplace_back());
    } else {  // plain text up to the next quote or bracket, most items whole
      const std::size_t end = static_cast<std::size_t>(
          std::find_if(item.begin() + static_cast<std::ptrdiff_t>(i), item.end(), IsPartOpening) -
          item.begin());
      parts.plain.append(item.substr(i, end - i));
      i = end;
    }
  }
  return parts;
}

std::string Joined(const std::vector<std::string>& pieces) {
  std::string joined;
  for (const std::string& piece : pieces) joined.append(piece).append(" ");
  return CollapseSpace(joined);
}

// Calls `take` with each blank-separated word of `text`.
template <typename Take>
void ForEachWord(std::string_view text, Take take) {
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    const std::size_t start = i;
    while (i < text.size() && text[i] != ' ' && text[i] != '\t') ++i;
    if (i > start) take(text.substr(start, i - start));
  }
}

}  // namespace

void SplitAddressList(std::string_view text, std::vector<std::string_view>& items) {
  items.clear();
  std::size_t start = 0;
  int parens = 0;
  bool quoted = false, angled = false;
  const auto take = [&](std::size_t end) {
    const std::string_view item = TrimSpace(text.substr(start, end - start));
    if (!item.empty()) items.push_back(item);
    start = end + 1;
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == kLineBreakMarker) {  // a line break ends an item, whatever is open
      take(i);
      parens = 0;
      quoted = angled = false;
    } else if (quoted) {
      if (c == '\\' && i + 1 < text.size() && text[i + 1] != kLineBreakMarker) {
        ++i;
      } else if (c == '"') {
        quoted = false;
      }
    } else if (parens > 0) {
      if (c == '\\' && i + 1 < text.size() && text[i + 1] != kLineBreakMarker) {
        ++i;
      } else if (c == '(') {
        ++parens;
      } else if (c == ')') {
        --parens;
      }
    } else if (angled) {
      angled = c != '>';
    } else if (c == '"') {
      quoted = true;
    } else if (c == '(') {
      parens = 1;
    } else if (c == '<') {
      angled = true;
    } else if (c == ',') {
      take(i);
    }
  }
  if (start < text.size()) take(text.size());
}

void ParseAddressItem(std::string_view item, AddressItem& parsed) {
  parsed.addresses.clear();
  // Without quotes and brackets an item is its plain text (most items: an
  // address alone), taken as it stands.
  const bool plain_only = std::none_of(item.begin(), item.end(), IsPartOpening);
  ItemParts parts = plain_only ? ItemParts{} : TakeApart(item);
  parsed.pieced = std::move(parts.plain);
  const std::string_view plain = plain_only ? item : std::string_view(parsed.pieced);
  std::string other_words;  // plain text beside the addresses
  if (!parts.angles.empty()) {
    for (const std::string_view angle : parts.angles) {
      const std::string_view address = TrimSpace(angle);
      if (!address.empty()) parsed.addresses.emplace_back(address);
    }
    other_words = parsed.pieced;
  } else {
    ForEachWord(plain, [&](std::string_view word) {
      if (word.find('@') != std::string_view::npos) {
        parsed.addresses.emplace_back(word);
      } else {
        other_words.append(word).append(" ");
      }
    });
  }
  // The name: quoted text, else the words beside the address, else a comment.
  parsed.real_name.clear();
  if (!parts.quoted.empty()) parsed.real_name = Joined(parts.quoted);
  if (parsed.real_name.empty() && !other_words.empty()) {
    parsed.real_name = CollapseSpace(other_words);
  }
  if (parsed.real_name.empty() && !parts.comments.empty()) {
    parsed.real_name = Joined(parts.comments);
  }
}

std::string_view UnquotedItem(std::string_view item) {
  if (item.size() >= 2 && item.front() == '"' && item.back() == '"' &&
      item.find('"', 1) == item.size() - 1) {
    return item.substr(1, item.size() - 2);
  }
  return item;
}

}  // namespace veltrana
