// A window for the conversion run that records what the run does to it.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/converter_window.h"

namespace veltrana::test {

inline const char* ButtonName(Button button) {
  switch (button) {
    case Button::kConvert: return "Convert";
    case Button::kBrowse: return "Browse";
    case Button::kView: return "View";
  }
  return "?";
}

class RecordingWindow : public ConverterWindow {
 public:
  explicit RecordingWindow(std::string field = "") : field_(std::move(field)) {}

  std::string field_;
  std::string status;
  std::map<Button, bool> enabled{
      {Button::kConvert, true}, {Button::kBrowse, true}, {Button::kView, false}};
  std::string focus = "Convert";
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
  void SendKeys(std::string_view keys) override { events.push_back("keys " + std::string(keys)); }
};

}  // namespace veltrana::test
