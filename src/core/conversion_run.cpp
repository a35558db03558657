#include "core/conversion_run.h"

#include <filesystem>
#include <system_error>

#include "core/alias_line.h"
#include "core/entry_index.h"
#include "core/entry_row.h"
#include "core/error_report.h"
#include "core/failure.h"
#include "core/number_text.h"
#include "core/text_file.h"
#include "core/work_list.h"
#include "html/page_writer.h"

namespace veltrana {

namespace {

constexpr const char* kInvalidNameStatus = "Invalid Address Book filename";

bool NamesSameFile(const std::string& first, const std::string& second) {
  if (first == second) return true;
  std::error_code unknown;
  return std::filesystem::equivalent(first, second, unknown) && !unknown;
}

class ConversionRun {
 public:
  ConversionRun(ConverterState& state, ConverterWindow& window, std::string& htmlfile,
                const RunOptions& options)
      : state_(state), window_(window), htmlfile_(htmlfile), options_(options) {}

  RunOutcome Run();

 private:
  bool Start();
  RunOutcome RefuseOverwrite();
  RunOutcome Convert();
  void FirstPass(EntryIndex& index);
  bool SecondPass(EntryIndex& index);
  bool ShowProgress(Int16 entries);
  void EndStep();
  RunOutcome Trap(const Failure& failure);
  RunOutcome HandleFailure(const Failure& failure);
  void CommonTail();
  RunOutcome Abandon();

  ConverterState& state_;
  ConverterWindow& window_;
  std::string& htmlfile_;
  const RunOptions& options_;
  std::optional<TextFile> file_;  // the address book, while the run reads it
  ReplacingFile page_;
  NicknameWorkList lbxNicknameList_;
};

RunOutcome ConversionRun::Run() {
  if (!Start()) return Abandon();
  if (state_.addressbook.empty()) {
    window_.ShowMessage("Must enter name of Address Book file to convert", kStyleCritical,
                        kAppTitle);
    window_.SetStatusText(kInvalidNameStatus);
    window_.SetButtonEnabled(Button::kConvert, true);
    window_.SetButtonEnabled(Button::kBrowse, true);
    return RunOutcome::kEmptyName;
  }
  try {
    return Convert();
  } catch (const std::exception&) {
    return Trap(CurrentFailure());
  }
}

bool ConversionRun::Start() {
  state_.proc = kRunProc;
  window_.SetStatusText("Working...");
  state_.ctr = 0;
  window_.SetButtonEnabled(Button::kConvert, false);
  window_.SetButtonEnabled(Button::kBrowse, false);
  window_.SetButtonEnabled(Button::kView, false);
  state_.addressbook = window_.AddressBookText();
  return window_.PumpEvents() == PumpResult::kContinue;
}

RunOutcome ConversionRun::Convert() {
  file_.emplace(TextFile::Read(state_.addressbook));
  htmlfile_ = PagePathFor(state_.addressbook);
  if (NamesSameFile(htmlfile_, state_.addressbook)) return RefuseOverwrite();
  WriteHeader(state_, page_, htmlfile_, options_.date ? *options_.date : TodayLocal());
  state_.proc = kRunProc;

  EntryIndex index;
  FirstPass(index);
  if (!SecondPass(index)) return Abandon();
  EndStep();
  return RunOutcome::kConverted;
}

RunOutcome ConversionRun::RefuseOverwrite() {
  window_.ShowMessage(
      "The page would overwrite the address book itself.\r\nFilename: " + state_.addressbook,
      kStyleCritical, kAppTitle);
  window_.SetStatusText(kInvalidNameStatus);
  file_.reset();
  window_.SetButtonEnabled(Button::kConvert, true);
  window_.SetButtonEnabled(Button::kBrowse, true);
  return RunOutcome::kRefusedOverwrite;
}

// Every alias line's nickname goes into the work list, in file order.
void ConversionRun::FirstPass(EntryIndex& index) {
  const auto& lines = file_->lines();
  for (std::size_t number = 0; number < lines.size(); ++number) {
    const std::string_view line = lines[number];
    if (!IsAliasLine(line)) continue;
    state_.a.assign(line);
    ExtractNickname(state_);
    state_.proc = kRunProc;
    lbxNicknameList_.Append(state_.nickname);
    const auto start = static_cast<std::size_t>(NicknameStart(line, state_.quote) - 1);
    const bool cut_overflows = NicknameEnd(line, state_.quote) == 32767;
    index.AddAliasLine(number, line.substr(start, state_.nickname.size()), cut_overflows);
  }
}

// One scan per work-list entry, in sorted order; false when the window was
// closed meanwhile.
bool ConversionRun::SecondPass(EntryIndex& index) {
  const auto& lines = file_->lines();
  const Int16 entries = ToInt16(static_cast<long long>(lbxNicknameList_.Count()));
  for (int i = 1; i <= entries; ++i) {
    const EntryScan scan = index.ScanFor(lbxNicknameList_.Item(static_cast<std::size_t>(i - 1)));
    for (const std::size_t row : *scan.rows) {
      if (scan.failing_line && row > *scan.failing_line) break;
      std::optional<std::string_view> next_line;
      if (row + 1 < lines.size()) next_line = lines[row + 1];
      WriteEntryRow(state_, page_, lines[row], next_line);
      if (state_.ctr % 5 == 0 && !ShowProgress(entries)) return false;
    }
    if (scan.failing_line) {
      // The scan examines that alias line: its nickname is cut, then its
      // address text, which fails.
      state_.a.assign(lines[*scan.failing_line]);
      ExtractNickname(state_);
      state_.proc = kRunProc;
      state_.emailaddress = CutAddressText(state_.a, state_.quote);
    }
  }
  file_.reset();
  return true;
}

bool ConversionRun::ShowProgress(Int16 entries) {
  window_.SetStatusText("Converted " + NumberText(state_.ctr) + " of " + NumberText(entries) +
                        " ...");
  return window_.PumpEvents() == PumpResult::kContinue;
}

void ConversionRun::EndStep() {
  WriteFooter(state_, page_);
  state_.proc = kRunProc;
  lbxNicknameList_.Clear();
  window_.SetStatusText("Done. " + NumberText(state_.ctr) + " Nicknames converted to:\r\n" +
                        htmlfile_);
  if (state_.ctr >= 1 && options_.history != nullptr) {
    options_.history->UpdateAddressBookList(state_, state_.addressbook);
    options_.history->WriteINIFile(state_);
  }
  state_.proc = kRunProc;
  window_.SetButtonEnabled(Button::kConvert, true);
  window_.SetButtonEnabled(Button::kView, true);
  window_.SetButtonEnabled(Button::kBrowse, true);
  window_.FocusButton(Button::kView);
}

// The run's error trap. A failure in the end step reached from it is trapped
// again, as the trap stays armed.
RunOutcome ConversionRun::Trap(const Failure& failure) {
  try {
    return HandleFailure(failure);
  } catch (const std::exception&) {
    return Trap(CurrentFailure());
  }
}

RunOutcome ConversionRun::HandleFailure(const Failure& failure) {
  switch (failure.code()) {
    case kFileNotFound:
      window_.ShowMessage(
          "Specified Address Book does not exist.\r\nFilename: " + state_.addressbook,
          kStyleCritical, kAppTitle);
      window_.SetStatusText(kInvalidNameStatus);
      window_.FocusAddressBook();
      window_.SetButtonEnabled(Button::kBrowse, true);
      window_.SendKeys("{home}+{end}");
      window_.FocusButton(Button::kBrowse);
      CommonTail();
      return RunOutcome::kFileNotFound;
    case kInputPastEndOfFile:
      file_.reset();
      EndStep();
      return RunOutcome::kConverted;
    default:
      ShowError(state_, failure, window_);
      CommonTail();
      return RunOutcome::kFailed;
  }
}

void ConversionRun::CommonTail() {
  file_.reset();
  page_.Abandon();
  window_.SetButtonEnabled(Button::kConvert, true);
  window_.SetButtonEnabled(Button::kBrowse, true);
  lbxNicknameList_.Clear();
}

// The window is going away: leave no unfinished page and nothing open.
RunOutcome ConversionRun::Abandon() {
  file_.reset();
  page_.Abandon();
  lbxNicknameList_.Clear();
  return RunOutcome::kAbandoned;
}

}  // namespace

std::string PagePathFor(const std::string& addressbook) {
  return Left(addressbook, static_cast<long long>(addressbook.size()) - 4) + ".htm";
}

RunOutcome cmdConvert_Click(ConverterState& state, ConverterWindow& window, std::string& htmlfile,
                            const RunOptions& options) {
  return ConversionRun(state, window, htmlfile, options).Run();
}

}  // namespace veltrana
