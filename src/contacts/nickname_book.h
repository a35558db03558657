// The nickname file read for the export: one record per nickname, letter
// case ignored, holding the address text of each of its alias lines and the
// note text of each of its note lines, in file order.
//
// The lines are read as the page reads them ("alias " and "note " exactly,
// a nickname quoted or ending at a blank), but a line the page stops at is
// taken as far as it goes: a nickname without an address is a contact
// without one, a missing closing quote ends the nickname at the line's end.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace veltrana {

// The texts are views into the text the book was read from, which must
// outlive the record.
struct NicknameRecord {
  std::string_view nickname;                    // as first written, blanks trimmed
  std::vector<std::string_view> address_texts;  // one per alias line
  std::vector<std::string_view> note_texts;     // one per note line
};

// Folded nickname -> record; the keys are views into the book's own store.
using NicknameIndex = std::unordered_map<std::string_view, std::size_t>;

struct NicknameBook {
  std::vector<NicknameRecord> records;  // in the order nicknames first appear
  NicknameIndex index;                  // folded nickname -> record, one each
  std::vector<std::string> warnings;    // lines taken only in part
  // The folded nicknames one after another, the index's keys: room for the
  // whole text is set aside once, so a key never moves (and pages never
  // written take no memory).
  std::unique_ptr<char[]> folded_nicknames;
};

// Reads `text` (UTF-8). A note line belongs to the nickname it names,
// wherever it stands.
NicknameBook ReadNicknameBook(std::string_view text);

}  // namespace veltrana
