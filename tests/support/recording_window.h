// Front ends for the runs that record what a run does to them: a view, as
// the command line and the browser edition have, and a window, which has
// buttons, focus and keystrokes besides.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/converter_window.h"
#include "conversion/run_view.h"

namespace veltrana::test {

inline const char* ButtonName(Button button) {
  switch (button) {
    case Button::kConvert: return "Convert";
    case Button::kBrowse: return "Browse";
    case Button::kView: return "View";
    case Button::kExport: return "Export";
  }
  return "?";
}

// What every front end shows of a run, recorded; `Interface` is RunView or
// ConverterWindow.
template <typename Interface>
class Recording : public Interface {
 public:
  explicit Recording(std::string field = "") : field_(std::move(field)) {}

  std::string field_;
  std::string status;
  std::vector<std::string> events;    // every call, in order
  std::vector<std::string> messages;  // message box texts
  std::vector<std::string> statuses;  // every status text set
  int close_at_pump = -1;             // answer "closing" at this pump (0-based)
  int pumps = 0;
  std::function<void(int)> on_pump;  // called with the pump's number (0-based)

  std::string AddressBookText() const override { return field_; }
  std::filesystem::path AddressBookPath() const override { return field_; }
  void SetStatusText(const std::string& text) override {
    status = text;
    statuses.push_back(text);
    events.push_back("status " + text);
  }
  void ShowMessage(const std::string& text, MessageStyle style, const std::string& title) override {
    messages.push_back(text);
    events.push_back("message " + std::to_string(static_cast<int>(style)) + " " + title + ": " +
                     text);
  }
  PumpResult PumpEvents() override {
    events.push_back("pump");
    if (on_pump) on_pump(pumps);
    return pumps++ == close_at_pump ? PumpResult::kWindowClosing : PumpResult::kContinue;
  }
};

// A front end without a window: the command line's, the browser's.
using RecordingView = Recording<RunView>;

class RecordingWindow : public Recording<ConverterWindow> {
 public:
  using Recording::Recording;

  std::map<Button, bool> enabled{{Button::kConvert, true},
                                 {Button::kBrowse, true},
                                 {Button::kView, false},
                                 {Button::kExport, true}};
  std::string focus = "Convert";

  void SetButtonEnabled(Button button, bool on) override {
    enabled[button] = on;
    events.push_back(std::string(on ? "enable " : "disable ") + ButtonName(button));
  }
  void FocusButton(Button button) override {
    focus = ButtonName(button);
    events.push_back("focus " + focus);
  }
  void FocusAddressBook() override {
    focus = "field";
    events.push_back("focus field");
  }
  void SendKeys(std::string_view keys) override { events.push_back("keys " + std::string(keys)); }
};

// The events a window shows that a view shows too: all but buttons, focus
// and keystrokes.
inline std::vector<std::string> ViewEvents(const std::vector<std::string>& window_events) {
  std::vector<std::string> shown;
  for (const std::string& event : window_events) {
    const auto starts = [&event](std::string_view start) { return event.starts_with(start); };
    if (!starts("enable ") && !starts("disable ") && !starts("focus ") && !starts("keys ")) {
      shown.push_back(event);
    }
  }
  return shown;
}

}  // namespace veltrana::test
