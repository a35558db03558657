// The main form with a window whose own parts fail: whatever fails, the run
// ends, the window can close, and nothing is reported as success.
#include "form/main_form.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace veltrana {
namespace {

class FailingForm : public MainForm {
 public:
  explicit FailingForm(const std::filesystem::path& settings)
      : MainForm(SettingsLocation{settings, false}, CalendarDate{2026, 12, 7}) {}

  using MainForm::MayClose;

  std::string field;
  mutable int field_failures = 0;  // the field's text fails this many times
  bool messages_fail = false;      // every message box fails
  int message_boxes = 0;           // message boxes asked for
  std::vector<std::string> messages;
  std::map<Button, bool> enabled;
  bool closed = false;

  std::string AddressBookText() const override {
    if (field_failures > 0) {
      --field_failures;
      throw std::runtime_error("the field cannot be read");
    }
    return field;
  }
  std::filesystem::path AddressBookPath() const override { return field; }
  void SetStatusText(const std::string&) override {}
  void SetButtonEnabled(Button button, bool on) override { enabled[button] = on; }
  void FocusButton(Button) override {}
  void FocusAddressBook() override {}
  void ShowMessage(const std::string& text, MessageStyle, const std::string&) override {
    ++message_boxes;
    if (messages_fail) throw std::runtime_error("no message box");
    messages.push_back(text);
  }
  PumpResult PumpEvents() override { return PumpResult::kContinue; }
  void SendKeys(std::string_view) override {}

 protected:
  void SetFieldText(const std::string&) override {}
  void ShowHistory(const std::vector<std::string>&) override {}
  bool ChooseAddressBook() override { return false; }
  std::optional<ExportDialogAnswer> ChooseExportFile(const ExportDialogRequest&) override {
    return std::nullopt;
  }
  std::string StatusText() const override { return {}; }
  bool ButtonEnabled(Button button) const override {
    const auto it = enabled.find(button);
    return it != enabled.end() && it->second;
  }
  void CloseNow() override { closed = true; }
};

class MainFormTest : public ::testing::Test {
 protected:
  test::TempDir settings_;
  test::TempDir books_;
};

// Convert and Export alike: what their click does first fails. Convert's
// run has disabled the buttons by then and enables them again; Export has
// changed nothing yet.
struct Click {
  const char* procedure;
  void (MainForm::*click)();
  bool run_started;
};
constexpr Click kClicks[] = {{"cmdConvert_Click()", &MainForm::cmdConvert_Click, true},
                             {"cmdExport_Click()", &MainForm::cmdExport_Click, false}};

TEST_F(MainFormTest, AStartThatFailsIsReportedAndTheWindowCanClose) {
  for (const Click& click : kClicks) {
    FailingForm form(settings_.path());
    form.Form_Load();
    form.enabled.clear();
    form.field_failures = 1;
    EXPECT_NO_THROW((form.*click.click)()) << click.procedure;
    EXPECT_EQ(form.messages, std::vector<std::string>{"Error  51: Internal error\r\nProcedure: " +
                                                      std::string(click.procedure)});
    if (click.run_started) {
      EXPECT_TRUE(form.enabled[Button::kConvert]);
      EXPECT_TRUE(form.enabled[Button::kBrowse]);
      EXPECT_FALSE(form.enabled[Button::kView]);
    } else {
      EXPECT_TRUE(form.enabled.empty()) << "no button was touched";
    }
    EXPECT_TRUE(form.MayClose()) << click.procedure << ": no run is left in progress";
  }
}

// A window that cannot even show the report: the trap tries a bounded
// number of times, then the window's own failure goes to the caller, and
// the window is not left thinking a run is in progress.
TEST_F(MainFormTest, AWindowThatCannotShowTheReportEndsTheRunAndCanClose) {
  for (const Click& click : kClicks) {
    FailingForm form(settings_.path());
    form.Form_Load();
    form.field = books_.File("missing.txt");
    form.messages_fail = true;
    EXPECT_THROW((form.*click.click)(), std::runtime_error) << click.procedure;
    EXPECT_EQ(form.message_boxes, 3)
        << click.procedure << ": the missing book's message, then the report twice";
    EXPECT_TRUE(form.MayClose()) << click.procedure;
  }
}

}  // namespace
}  // namespace veltrana
