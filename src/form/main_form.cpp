#include "form/main_form.h"

#include <exception>
#include <utility>

#include "base/failure.h"
#include "base/program_identity.h"
#include "base/scope_exit.h"
#include "conversion/conversion_run.h"
#include "conversion/error_report.h"
#include "export/export_run.h"

namespace veltrana {

MainForm::MainForm(SettingsLocation settings, std::optional<CalendarDate> date)
    : settings_(std::move(settings)), date_(date) {}

void MainForm::Form_Load() {
  state_.proc = "Form_Load()";
  SetButtonEnabled(Button::kView, false);
  SetConverterDefaults(state_);
  const SettingsLoad load = LoadSettings(state_, settings_, *this);
  ShowHistory(settings_.history().entries());
  SetFieldText(load == SettingsLoad::kFailed ? std::string() : state_.addressbook);
  if (load == SettingsLoad::kRead) FinishLastPage();
  if (load == SettingsLoad::kRead) SetStatusText("Ready");
  SetPageTitleDefault(state_);
}

// A copy over the last book's page that a killed run left unfinished is
// finished before anything else; a failure of it is reported.
void MainForm::FinishLastPage() {
  try {
    FinishInterruptedPage(AddressBookPath());
  } catch (const std::exception&) {
    ShowError(state_, CurrentFailure(), *this);
  }
}

void MainForm::cmdConvert_Click() {
  {
    // However the run ends, it no longer keeps the window from closing.
    running_ = true;
    const ScopeExit run_ended([this] { running_ = false; });
    SetButtonEnabled(Button::kExport, false);
    RunOptions options;
    options.date = date_;
    options.history = &end_step_;
    RunConversion(state_, *this, htmlfile_, options);
  }
  SetButtonEnabled(Button::kExport, true);
  ShowHistory(settings_.history().entries());
  if (closing_) CloseNow();
}

// The export of the book the field names, with the command line's defaults
// (each book in the character set its bytes suggest), to the file the Save
// dialog names. View keeps its state: the page is still the last run's.
void MainForm::cmdExport_Click() {
  ExportRunOptions options;
  options.date = date_;
  options.choose_target = [this](const ExportProposal& proposal) -> std::optional<ExportTarget> {
    const std::vector<ExportFileType>& types = ExportFileTypes();
    const ExportTarget suggested = proposal.Suggested(types.front().format);
    const std::optional<ExportDialogAnswer> answer =
        ChooseExportFile({suggested.text, suggested.path, proposal.eudora_folder.has_value()});
    if (!answer || answer->type >= types.size()) return std::nullopt;
    return ExportTarget{types[answer->type].format, answer->text, answer->path,
                        answer->whole_folder};
  };
  std::string status;
  bool view = false;
  std::string addressbook;
  ExportOutcome outcome;
  {
    // However the export ends, it no longer keeps the window from closing.
    running_ = true;
    const ScopeExit run_ended([this] { running_ = false; });
    std::filesystem::path path;
    try {
      status = StatusText();
      view = ButtonEnabled(Button::kView);
      addressbook = AddressBookText();
      path = AddressBookPath();
    } catch (const std::exception&) {
      // Nothing has changed yet: the window stays as it was.
      state_.proc = "cmdExport_Click()";
      ShowError(state_, CurrentFailure(), *this);
      return;
    }
    outcome = RunExport({{addressbook, path}}, *this, options);
  }
  if (outcome.end == ExportOutcome::End::kClosing) return CloseNow();
  if (outcome.end == ExportOutcome::End::kCancelled) SetStatusText(status);
  SetButtonEnabled(Button::kConvert, true);
  SetButtonEnabled(Button::kBrowse, true);
  SetButtonEnabled(Button::kView, view);
  SetButtonEnabled(Button::kExport, true);
  if (outcome.end == ExportOutcome::End::kCancelled ||
      outcome.end == ExportOutcome::End::kWritten) {
    FocusButton(Button::kExport);
  }
  if (outcome.end == ExportOutcome::End::kWritten && outcome.contacts >= 1) {
    RememberExported(addressbook);
  }
  if (!outcome.warnings.empty()) {
    std::string text =
        "The export was written; these parts of the address book were taken as "
        "they could be:";
    for (const std::string& warning : outcome.warnings) text += "\r\n" + warning;
    ShowMessage(text, MessageStyle::kWarning, kAppTitle);
  }
  if (closing_) CloseNow();
}

// A book exported joins the history as a converted one does.
void MainForm::RememberExported(const std::string& addressbook) {
  try {
    UpdateAddressBookList(state_, settings_, addressbook);
    WriteINIFile(state_, settings_);
  } catch (const std::exception&) {
    ShowError(state_, CurrentFailure(), *this);
  }
  ShowHistory(settings_.history().entries());
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
