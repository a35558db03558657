// A contact's notes as the one text a format writes them in: a line (or
// more) per entry, joined by "\n". The contact's own notes come first, then
// what the format adds for values it has no place for.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "book/contact.h"
#include "book/field_tags.h"

namespace veltrana {

class NoteLines {
 public:
  // Starts anew with the contact's own notes.
  void Start(const std::vector<std::string_view>& own);
  void Add(std::string_view line);
  // "tag: value".
  void Add(std::string_view tag, std::string_view value);
  // "email: Real Name <address>", or "email: address" without a name (the
  // line's tag `tag`).
  void AddAddress(std::string_view real_name, std::string_view address,
                  std::string_view tag = kEmailTag);
  // An address line for each of the contact's own addresses written with a
  // real name other than its display name, which no address book keeps
  // beside the address itself.
  void AddRealNames(const Contact& contact);

  [[nodiscard]] const std::string& text() const { return text_; }

 private:
  void NewLine();
  std::string text_;
};

}  // namespace veltrana
