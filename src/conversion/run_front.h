// Whom a run talks to: the view every front end has and, when the run was
// started from a window, that window. Without a window the run's steps on
// buttons, focus and keystrokes have nothing to act on and are left out.
#pragma once

#include <string_view>

#include "conversion/converter_window.h"
#include "conversion/run_view.h"

namespace veltrana {

class RunFront {
 public:
  explicit RunFront(RunView& view) : view_(view) {}
  explicit RunFront(ConverterWindow& window) : view_(window), window_(&window) {}

  RunView& view() const { return view_; }

  // The window's part; nothing without a window.
  void SetButtonEnabled(Button button, bool enabled) const {
    if (window_ != nullptr) window_->SetButtonEnabled(button, enabled);
  }
  void FocusButton(Button button) const {
    if (window_ != nullptr) window_->FocusButton(button);
  }
  void FocusAddressBook() const {
    if (window_ != nullptr) window_->FocusAddressBook();
  }
  void SendKeys(std::string_view keys) const {
    if (window_ != nullptr) window_->SendKeys(keys);
  }

 private:
  RunView& view_;
  ConverterWindow* window_ = nullptr;
};

}  // namespace veltrana
