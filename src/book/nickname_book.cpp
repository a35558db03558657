#include "book/nickname_book.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "base/nickname_file.h"
#include "base/text_file.h"
#include "text/utf8_text.h"

namespace veltrana {

namespace {

struct Cut {
  std::string_view nickname;
  std::string_view rest;  // the address text or the note text
  bool unclosed_quote = false;
};

// Cuts a line after its keyword ("alias " or "note "): a quoted nickname
// runs to the next quote, any other to the first blank after its first
// character; the rest of the line follows it.
Cut CutNicknameAndRest(std::string_view after_keyword) {
  Cut cut;
  if (!after_keyword.empty() && after_keyword.front() == kNicknameQuote) {
    const std::size_t close = after_keyword.find(kNicknameQuote, 1);
    if (close == std::string_view::npos) {
      cut.nickname = after_keyword.substr(1);
      cut.unclosed_quote = true;
    } else {
      cut.nickname = after_keyword.substr(1, close - 1);
      cut.rest = after_keyword.substr(close + 1);
    }
    return cut;
  }
  const std::size_t blank = after_keyword.find(' ', 1);
  cut.nickname = after_keyword.substr(0, blank);
  if (blank != std::string_view::npos) cut.rest = after_keyword.substr(blank + 1);
  return cut;
}

std::size_t CountOf(char byte, std::string_view text) {
  std::size_t count = 0;
  for (const char *at = text.data(), *const end = at + text.size();
       (at = static_cast<const char*>(std::memchr(at, byte, static_cast<std::size_t>(end - at))));
       ++at) {
    ++count;
  }
  return count;
}

class BookReader {
 public:
  NicknameBook Read(std::string_view text);

 private:
  std::size_t RecordFor(std::string_view nickname);
  void Warn(std::size_t line_number, const std::string& what);
  void LeftOut(std::size_t line_number, std::string_view line);

  NicknameBook book_;
  std::string folded_;  // the nickname looked up last
  std::size_t left_out_ = 0;  // lines neither alias nor note that hold something
};

std::size_t BookReader::RecordFor(std::string_view nickname) {
  const std::string_view trimmed = TrimSpace(nickname);
  FoldUtf8Into(trimmed, folded_);
  if (const auto found = book_.index.find(folded_); found != book_.index.end()) {
    return found->second;
  }
  book_.nickname_with_at_sign |= trimmed.find('@') != std::string_view::npos;
  book_.records.push_back({trimmed});
  const std::size_t record = book_.records.size() - 1;
  // A nickname written in lower case is its own key.
  book_.index.emplace(folded_ == trimmed ? trimmed : book_.folded_nicknames.Keep(folded_), record);
  return record;
}

void BookReader::Warn(std::size_t line_number, const std::string& what) {
  book_.warnings.push_back("line " + std::to_string(line_number) + ": " + what);
}

// A line that holds something but is neither an alias line nor a note line
// is told, the first kToldLeftOut of them each by its number, so that a
// line the mail client would read and the export cannot ("alias" and a tab)
// does not go missing unseen. A line that opens with "#" is a comment, as
// the sample book writes them, and blank lines are no loss.
constexpr std::size_t kToldLeftOut = 20;

void BookReader::LeftOut(std::size_t line_number, std::string_view line) {
  const std::string_view trimmed = TrimSpace(line);
  if (trimmed.empty() || trimmed.front() == '#') return;
  if (++left_out_ > kToldLeftOut) return;
  for (const std::string_view keyword : {kAliasKeyword, kNoteKeyword}) {
    const std::string_view word = keyword.substr(0, keyword.size() - 1);
    if (line.size() > word.size() && line.starts_with(word) &&
        TrimSpace(line.substr(word.size(), 1)).empty()) {
      return Warn(line_number, "\"" + std::string(word) +
                                   "\" is followed by a tab or another space than a blank; the "
                                   "line is left out");
    }
  }
  Warn(line_number, "neither an alias line nor a note line; left out");
}

NicknameBook BookReader::Read(std::string_view text) {
  // No more lines than line ends (of the kind there are most of), and one
  // more: room set aside once, taken only as lines come.
  const std::size_t most = std::max(CountOf('\n', text), CountOf('\r', text)) + 1;
  book_.lines.reserve(most);
  book_.records.reserve(most);
  book_.index.reserve(most / 2);  // a nickname has an alias line and a note line, mostly
  LineCursor cursor(text);
  std::string_view line;
  for (std::size_t number = 1; cursor.Next(line); ++number) {
    const bool alias = IsAliasLine(line);
    const bool note = IsNoteLine(line);
    if (!alias && !note) {
      LeftOut(number, line);
      continue;
    }
    const Cut cut =
        CutNicknameAndRest(line.substr(alias ? kAliasKeyword.size() : kNoteKeyword.size()));
    if (cut.unclosed_quote) Warn(number, "the nickname's closing quote is missing");
    NicknameRecord& record = book_.records[RecordFor(cut.nickname)];
    std::uint32_t& first = alias ? record.first_alias : record.first_note;
    std::uint32_t& last = alias ? record.last_alias : record.last_note;
    // A length fits 32 bits when nothing is left above them (two shifts, which
    // a 32-bit size_t takes too).
    if (book_.lines.size() >= NicknameLine::kNone || (cut.rest.size() >> 16 >> 16) != 0) {
      throw std::length_error("the book has more lines, or longer, than can be read");
    }
    const auto added = static_cast<std::uint32_t>(book_.lines.size());
    book_.lines.push_back({cut.rest.data(), static_cast<std::uint32_t>(cut.rest.size())});
    (last == NicknameLine::kNone ? first : book_.lines[last].next) = added;
    last = added;
  }
  if (left_out_ > kToldLeftOut) {
    book_.warnings.push_back(std::to_string(left_out_) +
                             " lines are neither alias lines nor note lines and are left out");
  }
  return std::move(book_);
}

}  // namespace

NicknameBook ReadNicknameBook(std::string_view text) {
  return BookReader().Read(text);
}

}  // namespace veltrana
