#include "conversion/conversion_run.h"

#include <filesystem>
#include <vector>

#include "base/failure.h"
#include "base/file_names.h"
#include "base/number_text.h"
#include "base/program_identity.h"
#include "base/text_file.h"
#include "conversion/alias_line.h"
#include "conversion/book_failure_report.h"
#include "conversion/entry_index.h"
#include "conversion/entry_row.h"
#include "conversion/error_report.h"
#include "conversion/run_procedure.h"
#include "conversion/work_list.h"
#include "page/page_writer.h"

namespace veltrana {

namespace {

// Asks for the memory at `address` to be brought close, without waiting.
inline void Prefetch(const void* address) {
#if defined(__GNUC__)
  __builtin_prefetch(address);
#else
  static_cast<void>(address);
#endif
}

// An alias line as the second pass needs it: the line, and the line after
// it if the book has one (the entry's note line, when it is one).
struct AliasEntry {
  std::string_view line;
  std::optional<std::string_view> next;
};

class ConversionRun {
 public:
  ConversionRun(ConverterState& state, ConverterWindow& window, std::filesystem::path& htmlfile,
                const RunOptions& options)
      : state_(state), window_(window), htmlfile_(htmlfile), options_(options) {}

  void Run();

 private:
  bool Start();
  void Convert();
  void FirstPass(EntryIndex& index);
  NicknameCut NicknameOf(std::string_view alias_line);
  bool SecondPass(const EntryIndex& index);
  bool ShowProgress(Int16 entries);
  void EndStep();
  void Trap(const Failure& failure);
  void HandleFailure(const Failure& failure);
  void CommonTail();
  void Abandon();

  ConverterState& state_;
  ConverterWindow& window_;
  std::filesystem::path& htmlfile_;
  const RunOptions& options_;
  std::filesystem::path book_path_;  // the file the field names
  std::string page_text_;            // the page path as the status line shows it
  std::string book_;                 // the address book, read whole
  std::vector<AliasEntry> aliases_;  // its alias lines, in file order
  ReplacingFile page_;
  NicknameWorkList work_list_;
};

// Everything the run does, from its first step, is under its error trap.
void ConversionRun::Run() {
  try {
    if (!Start()) return Abandon();
    if (state_.addressbook.empty()) return ReportEmptyName(window_);
    Convert();
  } catch (const std::exception&) {
    Trap(CurrentFailure());
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
  book_path_ = window_.AddressBookPath();
  return window_.PumpEvents() == PumpResult::kContinue;
}

void ConversionRun::Convert() {
  book_ = ReadTextFile(book_path_);
  page_text_ = PagePathFor(state_.addressbook);
  htmlfile_ = PagePathFor(book_path_);
  if (NamesSameFile(htmlfile_, book_path_)) {
    return ReportWouldOverwrite(window_, "page", state_.addressbook);
  }
  WriteHeader(state_, page_, htmlfile_, options_.date ? *options_.date : TodayLocal());

  EntryIndex index;
  FirstPass(index);
  index.Group(work_list_);
  if (!SecondPass(index)) return Abandon();
  EndStep();
}

// Every alias line's nickname goes into the work list, in file order.
void ConversionRun::FirstPass(EntryIndex& index) {
  // Room for as many alias lines as the book can hold (each takes at least
  // eight bytes), so the lists never move; pages never used cost nothing.
  const std::size_t most = book_.size() / 8 + 1;
  aliases_.reserve(most);
  work_list_.Reserve(most);
  index.Reserve(most);
  LineCursor cursor(book_);
  std::string_view line;
  bool after_alias = false;
  for (std::size_t number = 0; cursor.Next(line); ++number) {
    if (after_alias) aliases_.back().next = line;
    after_alias = IsAliasLine(line);
    if (!after_alias) continue;
    const NicknameCut cut = NicknameOf(line);
    work_list_.Append(cut.nickname);
    index.AddAliasLine(number, cut.nickname, cut.separator == 32767);
    aliases_.push_back({line, std::nullopt});
  }
}

// ExtractNickname's cut, as a view into the book; on failure `proc` names
// ExtractNickname as it would after a call of it.
NicknameCut ConversionRun::NicknameOf(std::string_view alias_line) {
  try {
    return CutNickname(alias_line, state_.quote);
  } catch (const Failure&) {
    state_.a.assign(alias_line);
    state_.proc = kExtractNicknameProc;
    throw;
  }
}

// One scan per work-list entry, in sorted order; false when the window was
// closed meanwhile. The rows follow the sorted order, so their lines are
// scattered over the book: each row asks for the next row's line early.
bool ConversionRun::SecondPass(const EntryIndex& index) {
  const Int16 entries = ToInt16(static_cast<long long>(work_list_.Count()));
  EntryScan scan;
  if (entries > 0) scan = index.ScanAt(0);
  for (int i = 1; i <= entries; ++i) {
    EntryScan next_scan;
    if (i < entries) next_scan = index.ScanAt(static_cast<std::size_t>(i));
    for (std::size_t r = 0; r < scan.rows.size(); ++r) {
      const AliasNumber row = scan.rows[r];
      if (scan.failing && row > *scan.failing) break;
      const std::span<const AliasNumber> ahead =
          r + 1 < scan.rows.size() ? scan.rows.subspan(r + 1) : next_scan.rows;
      if (!ahead.empty()) Prefetch(aliases_[ahead.front()].line.data());
      WriteEntryRow(state_, page_, aliases_[row].line, aliases_[row].next);
      if (state_.ctr % 5 == 0 && !ShowProgress(entries)) return false;
    }
    if (scan.failing) {
      // The scan examines that alias line: its nickname is cut, then its
      // address text, which fails.
      state_.a.assign(aliases_[*scan.failing].line);
      const Int16 separator = ExtractNickname(state_);
      state_.emailaddress = AddressTextAfter(state_.a, separator);
    }
    scan = next_scan;
  }
  return true;
}

bool ConversionRun::ShowProgress(Int16 entries) {
  window_.SetStatusText("Converted " + NumberText(state_.ctr) + " of " + NumberText(entries) +
                        " ...");
  return window_.PumpEvents() == PumpResult::kContinue;
}

void ConversionRun::EndStep() {
  WriteFooter(state_, page_);
  work_list_.Clear();
  window_.SetStatusText("Done. " + NumberText(state_.ctr) + " Nicknames converted to:\r\n" +
                        page_text_);
  if (state_.ctr >= 1 && options_.history != nullptr) {
    options_.history->UpdateAddressBookList(state_, state_.addressbook);
    options_.history->WriteINIFile(state_);
    // UpdateAddressBookList leaves its name in `proc` (the load step keeps
    // it), so the run stores its own again.
    state_.proc = kRunProc;
  }
  window_.SetButtonEnabled(Button::kConvert, true);
  window_.SetButtonEnabled(Button::kView, true);
  window_.SetButtonEnabled(Button::kBrowse, true);
  window_.FocusButton(Button::kView);
}

// The run's error trap. It stays armed while it recovers, so a failure of
// the recovery itself (the window failing to show the report) is trapped
// again, but only so often: a window that keeps failing gets its last
// failure back, instead of the trap calling itself without end.
void ConversionRun::Trap(const Failure& failure) {
  constexpr int kTries = 3;
  Failure current = failure;
  for (int attempt = 1;; ++attempt) {
    try {
      return HandleFailure(current);
    } catch (const std::exception&) {
      if (attempt == kTries) throw;
      current = CurrentFailure();
    }
  }
}

// The book is read whole when it is opened, so no read can run past its
// end: the run never meets "Input past end of file" (62).
void ConversionRun::HandleFailure(const Failure& failure) {
  if (failure.code() == kFileNotFound) {
    ReportMissingBook(window_, state_.addressbook);
  } else {
    ShowError(state_, failure, window_);
  }
  CommonTail();
}

void ConversionRun::CommonTail() {
  page_.Abandon();
  window_.SetButtonEnabled(Button::kConvert, true);
  window_.SetButtonEnabled(Button::kBrowse, true);
  work_list_.Clear();
}

// The window is going away: leave no unfinished page behind.
void ConversionRun::Abandon() {
  page_.Abandon();
  work_list_.Clear();
}

}  // namespace

std::string PagePathFor(const std::string& addressbook) {
  return WithEnding(addressbook, ".htm");
}

std::filesystem::path PagePathFor(const std::filesystem::path& addressbook) {
  return WithEnding(addressbook, ".htm");
}

void RunConversion(ConverterState& state, ConverterWindow& window, std::filesystem::path& htmlfile,
                   const RunOptions& options) {
  ConversionRun(state, window, htmlfile, options).Run();
}

}  // namespace veltrana
