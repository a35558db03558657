#include "form/key_string.h"

#include <optional>
#include <string>

#include "base/case_fold.h"

namespace veltrana {

namespace {

std::optional<KeyName> KeyNamed(std::string_view given) {
  const std::string name = FoldedCopy(given);
  if (name == "home") return KeyName::kHome;
  if (name == "end") return KeyName::kEnd;
  if (name == "left") return KeyName::kLeft;
  if (name == "right") return KeyName::kRight;
  if (name == "up") return KeyName::kUp;
  if (name == "down") return KeyName::kDown;
  if (name == "tab") return KeyName::kTab;
  if (name == "enter") return KeyName::kEnter;
  if (name == "esc") return KeyName::kEscape;
  if (name == "del" || name == "delete") return KeyName::kDelete;
  if (name == "bs" || name == "backspace") return KeyName::kBackspace;
  return std::nullopt;
}

}  // namespace

std::vector<KeyPress> ParseKeyString(std::string_view text) {
  std::vector<KeyPress> keys;
  KeyPress next;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '+') {
      next.shift = true;
      continue;
    }
    if (c == '^') {
      next.control = true;
      continue;
    }
    if (c == '%') {
      next.alt = true;
      continue;
    }
    if (c == '{') {
      const std::size_t close = text.find('}', i + 1);
      if (close == std::string_view::npos) break;
      const std::optional<KeyName> named = KeyNamed(text.substr(i + 1, close - i - 1));
      i = close;
      if (named) {
        next.key = *named;
        keys.push_back(next);
      }
    } else {
      next.key = KeyName::kCharacter;
      next.character = c;
      keys.push_back(next);
    }
    next = KeyPress();
  }
  return keys;
}

}  // namespace veltrana
