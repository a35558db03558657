#include "form/main_form.h"

#include <exception>
#include <utility>

#include "base/failure.h"
#include "base/scope_exit.h"
#include "conversion/conversion_run.h"
#include "conversion/error_report.h"

namespace veltrana {

MainForm::MainForm(SettingsLocation settings, std::optional<CalendarDate> date,
                   std::filesystem::path& htmlfile)
    : settings_(std::move(settings)), date_(date), htmlfile_(htmlfile) {}

void MainForm::Form_Load() {
  state_.proc = "Form_Load()";
  SetButtonEnabled(Button::kView, false);
  SetConverterDefaults(state_);
  const SettingsLoad load = settings_.Load(state_, *this);
  ShowHistory(settings_.history().entries());
  SetFieldText(load == SettingsLoad::kFailed ? std::string() : state_.addressbook);
  if (load == SettingsLoad::kRead) SetStatusText("Ready");
  SetPageTitleDefault(state_);
}

void MainForm::cmdConvert_Click() {
  {
    // However the run ends, it no longer keeps the window from closing.
    running_ = true;
    const ScopeExit run_ended([this] { running_ = false; });
    RunOptions options;
    options.date = date_;
    options.history = &settings_;
    RunConversion(state_, *this, htmlfile_, options);
  }
  ShowHistory(settings_.history().entries());
  if (closing_) CloseNow();
}

void MainForm::cmdOpen_Click() {
  state_.proc = "cmdOpen_Click()";
  try {
    SetButtonEnabled(Button::kView, false);
    if (!ChooseAddressBook()) throw Failure(kDialogCancelled);
    SetStatusText("Ready");
    FocusButton(Button::kConvert);
  } catch (const std::exception&) {
    // Anything but a cancel, also an exception the dialog throws that
    // carries no code, is reported.
    const Failure failure = CurrentFailure();
    if (failure.code() != kDialogCancelled) {
      ShowError(state_, failure, *this);
      return;
    }
    SetButtonEnabled(Button::kBrowse, true);
    SetButtonEnabled(Button::kConvert, true);
    SetButtonEnabled(Button::kView, false);
  }
}

bool MainForm::MayClose() {
  if (!running_) return true;
  closing_ = true;
  return false;
}

}  // namespace veltrana
