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
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "book/text_store.h"

namespace veltrana {

// The texts are views into the text the book was read from, which must
// outlive the book. Sixteen bytes a line, since a book has many: a book of
// more than 2^32 - 1 lines, or with a line of 4 GB, is refused
// (std::length_error).
struct NicknameLine {
  static constexpr std::uint32_t kNone = 0xFFFFFFFF;
  const char* data = nullptr;  // the address text or the note text
  std::uint32_t size = 0;
  std::uint32_t next = kNone;  // the record's next line of the same kind
  std::string_view text() const { return {data, size}; }
};

// A record's lines of one kind, in file order.
class NicknameLines {
 public:
  class Iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = std::string_view;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = std::string_view;

    Iterator() = default;
    Iterator(const std::vector<NicknameLine>& lines, std::uint32_t at) : lines_(&lines), at_(at) {}
    std::string_view operator*() const { return (*lines_)[at_].text(); }
    Iterator& operator++() {
      at_ = (*lines_)[at_].next;
      return *this;
    }
    Iterator operator++(int) {
      Iterator before = *this;
      ++*this;
      return before;
    }
    bool operator==(const Iterator& other) const { return at_ == other.at_; }

   private:
    const std::vector<NicknameLine>* lines_ = nullptr;
    std::uint32_t at_ = NicknameLine::kNone;
  };
  NicknameLines(const std::vector<NicknameLine>& lines, std::uint32_t first)
      : lines_(lines), first_(first) {}
  Iterator begin() const { return {lines_, first_}; }
  Iterator end() const { return {lines_, NicknameLine::kNone}; }

 private:
  const std::vector<NicknameLine>& lines_;
  std::uint32_t first_;
};

struct NicknameRecord {
  std::string_view nickname;  // as first written, blanks trimmed
  // Its alias lines and its note lines: the first and last of each kind
  // in NicknameBook::lines.
  std::uint32_t first_alias = NicknameLine::kNone, last_alias = NicknameLine::kNone;
  std::uint32_t first_note = NicknameLine::kNone, last_note = NicknameLine::kNone;
};

struct NicknameBook {
  std::vector<NicknameRecord> records;  // in the order nicknames first appear
  std::vector<NicknameLine> lines;      // the alias and note lines, in file order
  // The record of each nickname, folded (FoldUtf8Into); the keys are views
  // into the text, or into folded_nicknames where folding changed them.
  std::unordered_map<std::string_view, std::size_t> index;
  TextStore folded_nicknames;
  // Whether a nickname holds an "@": else an item with one names none.
  bool nickname_with_at_sign = false;
  std::vector<std::string> warnings;  // lines taken only in part

  // The address text of each of the record's alias lines.
  NicknameLines AddressTexts(std::size_t record) const {
    return {lines, records[record].first_alias};
  }
  // The note text of each of the record's note lines.
  NicknameLines NoteTexts(std::size_t record) const { return {lines, records[record].first_note}; }
};

// Reads `text` (UTF-8). A note line belongs to the nickname it names,
// wherever it stands.
[[nodiscard]] NicknameBook ReadNicknameBook(std::string_view text);

}  // namespace veltrana
