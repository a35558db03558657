// What a window test does to the main window and sees of it, whichever
// toolkit draws the window: the same cases run against the Qt window and
// the Win32 window, so the two cannot drift apart.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace veltrana::test {

class WindowDriver {
 public:
  virtual ~WindowDriver() = default;

  // Opens the window as the program does, keeping its settings in
  // `settings_folder`, where `ini` is written first as veltra.ini (none
  // when it is not given). Pages are dated 7 December 2026.
  virtual void Open(const std::filesystem::path& settings_folder,
                    const std::optional<std::string>& ini) = 0;

  // Replaces the field's text (8-bit, as the program keeps text).
  virtual void Type(const std::string& text) = 0;
  // Presses "Convert", "Browse" or "View" as a user does, with the mouse.
  virtual void Click(const std::string& button) = 0;
  // What Browse's dialog answers next: a chosen file, or nothing (cancel).
  virtual void AnswerBrowse(const std::optional<std::string>& path) = 0;
  // Browse's dialog fails next, with an exception that carries no failure
  // code (neither a choice nor a cancel).
  virtual void FailBrowse() = 0;

  virtual std::string Field() = 0;
  virtual std::string SelectedFieldText() = 0;
  virtual std::vector<std::string> History() = 0;
  // The status line, its lines joined by "\n".
  virtual std::string Status() = 0;
  virtual bool Enabled(const std::string& button) = 0;
  // "Convert", "Browse", "View" or "field": the control with the focus.
  virtual std::string Focus() = 0;
  // Every message box shown, as "style title: text", lines joined by "\n".
  virtual std::vector<std::string> Messages() = 0;
  // The files View asked the system to open.
  virtual std::vector<std::filesystem::path> Viewed() = 0;
};

}  // namespace veltrana::test
