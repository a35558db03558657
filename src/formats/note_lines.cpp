#include "formats/note_lines.h"

#include "book/field_tags.h"

namespace veltrana {

void NoteLines::Start(const std::vector<std::string_view>& own) {
  text_.clear();
  for (const std::string_view line : own) Add(line);
}

void NoteLines::NewLine() {
  if (!text_.empty()) text_ += '\n';
}

void NoteLines::Add(std::string_view line) {
  NewLine();
  text_.append(line);
}

void NoteLines::Add(std::string_view tag, std::string_view value) {
  NewLine();
  text_.append(tag).append(": ").append(value);
}

void NoteLines::AddAddress(std::string_view real_name, std::string_view address,
                           std::string_view tag) {
  NewLine();
  text_.append(tag).append(": ");
  if (real_name.empty()) {
    text_.append(address);
  } else {
    text_.append(real_name).append(" <").append(address).append(">");
  }
}

void NoteLines::AddRealNames(const Contact& contact) {
  for (const Email& email : contact.emails) {
    if (!email.real_name.empty() && email.real_name != contact.full_name) {
      AddAddress(email.real_name, email.address);
    }
  }
}

}  // namespace veltrana
