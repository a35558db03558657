#include "ui/key_sequence_text.h"

#include <Qt>
#include <cctype>
#include <string>

#include "base/case_fold.h"

namespace veltrana {

namespace {

int KeyNamed(std::string_view given) {
  const std::string name = FoldedCopy(given);
  if (name == "home") return Qt::Key_Home;
  if (name == "end") return Qt::Key_End;
  if (name == "left") return Qt::Key_Left;
  if (name == "right") return Qt::Key_Right;
  if (name == "up") return Qt::Key_Up;
  if (name == "down") return Qt::Key_Down;
  if (name == "tab") return Qt::Key_Tab;
  if (name == "enter") return Qt::Key_Return;
  if (name == "esc") return Qt::Key_Escape;
  if (name == "del" || name == "delete") return Qt::Key_Delete;
  if (name == "bs" || name == "backspace") return Qt::Key_Backspace;
  return 0;
}

}  // namespace

std::vector<KeyStroke> ParseKeySequenceText(std::string_view text) {
  std::vector<KeyStroke> strokes;
  int modifiers = Qt::NoModifier;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '+') {
      modifiers |= Qt::ShiftModifier;
      continue;
    }
    if (c == '^') {
      modifiers |= Qt::ControlModifier;
      continue;
    }
    if (c == '%') {
      modifiers |= Qt::AltModifier;
      continue;
    }
    int key = 0;
    if (c == '{') {
      const std::size_t close = text.find('}', i + 1);
      if (close == std::string_view::npos) break;
      key = KeyNamed(text.substr(i + 1, close - i - 1));
      i = close;
    } else {
      key = std::toupper(static_cast<unsigned char>(c));
    }
    if (key != 0) strokes.push_back({key, modifiers});
    modifiers = Qt::NoModifier;
  }
  return strokes;
}

}  // namespace veltrana
