// Keystroke strings as the run sends them to the window's focused control:
// "{home}+{end}" is Home, then Shift+End, which selects the field's text.
// "+", "^" and "%" hold Shift, Control and Alt for the key that follows; a
// key is a name in braces (letter case ignored) or one character. Each
// window turns the keys into its toolkit's.
#pragma once

#include <string_view>
#include <vector>

namespace veltrana {

enum class KeyName {
  kCharacter,  // the one character in `character`
  kHome,
  kEnd,
  kLeft,
  kRight,
  kUp,
  kDown,
  kTab,
  kEnter,
  kEscape,
  kDelete,
  kBackspace,
};

struct KeyPress {
  KeyName key = KeyName::kCharacter;
  char character = 0;
  bool shift = false;
  bool control = false;
  bool alt = false;

  bool operator==(const KeyPress&) const = default;
};

// The keys of `text` in order. An unknown name in braces is skipped (and
// the keys held for it with it); an unclosed brace ends the string.
[[nodiscard]] std::vector<KeyPress> ParseKeyString(std::string_view text);

}  // namespace veltrana
