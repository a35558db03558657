// Keystroke strings as the window sends them to its focused control:
// "{home}+{end}" is Home, then Shift+End. "+", "^" and "%" hold Shift,
// Control and Alt for the key that follows; a key is a name in braces or
// one character.
#pragma once

#include <string_view>
#include <vector>

namespace veltrana {

struct KeyStroke {
  int key;        // a Qt::Key value
  int modifiers;  // Qt::KeyboardModifier flags
};

// Unknown key names are skipped.
std::vector<KeyStroke> ParseKeySequenceText(std::string_view text);

}  // namespace veltrana
