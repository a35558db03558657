// The main window's controls as the window was designed, whichever toolkit
// draws them: their names, captions and places in twips (1,440 to the inch,
// 15 to a pixel at 96 dots per inch), measured for an 8-point font. Each
// toolkit turns twips into its pixels and creates its own kind of control.
#pragma once

#include <algorithm>
#include <string_view>

namespace veltrana {

struct TwipPlace {
  int left, top, width, height;
};

struct FormControlLayout {
  std::string_view name;
  std::string_view caption;  // "&" marks the access key
  TwipPlace place;
  bool names_a_control;  // a right-aligned label beside the control it names
};

// In the order of the controls' tab index (labels take no focus).
inline constexpr FormControlLayout kFormControls[] = {
    {"Label1", "Address Book:", {240, 120, 1095, 255}, true},
    {"cmdConvert", "&Convert", {6120, 120, 975, 375}, false},
    {"lblStatusText", "", {1440, 600, 4575, 495}, false},
    {"cmdOpen", "&Browse", {6120, 600, 975, 375}, false},
    {"lblStatus", "Status:", {840, 600, 495, 255}, true},
    {"cmdView", "&View", {6120, 1080, 975, 375}, false},
    {"cbxAddressBook", "", {1440, 120, 4575, 315}, false},
};

inline constexpr int kFormClientWidth = 7380;  // twips
inline constexpr int kFormClientHeight = 1575;
inline constexpr int kFormFontPoints = 8;

// The layout of the control called `name`; the first control's for a name
// the table does not hold.
constexpr const FormControlLayout& FormControl(std::string_view name) {
  for (const FormControlLayout& control : kFormControls) {
    if (control.name == name) return control;
  }
  return kFormControls[0];
}

// A label that names a control keeps its right edge beside that control: a
// caption wider in the window's font than its place grows to the left, as
// far as the window's left edge. Pixels in, pixels out.
struct CaptionSpan {
  int left, width;
};
constexpr CaptionSpan GrownCaption(int left, int width, int text_width) {
  const int right = left + width;
  const int grown = std::min(std::max(width, text_width), right);
  return {right - grown, grown};
}

}  // namespace veltrana
