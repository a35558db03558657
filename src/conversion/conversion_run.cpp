#include "conversion/conversion_run.h"

#include <filesystem>
#include <vector>

#include "base/bounded_trap.h"
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
#include "conversion/run_front.h"
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
  std::size_t number = 0;  // of the line in the book, from 1
};

class ConversionRun {
 public:
  ConversionRun(ConverterState& state, const RunFront& front, std::filesystem::path& htmlfile,
                const RunOptions& options)
      : state_(state), front_(front), view_(front.view()), htmlfile_(htmlfile), options_(options) {}

  ConversionOutcome Run();

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
  std::size_t FailingLine() const;
  void CommonTail();
  void Abandon();

  ConverterState& state_;
  const RunFront& front_;
  RunView& view_;
  std::filesystem::path& htmlfile_;
  const RunOptions& options_;
  std::filesystem::path book_path_;  // the file the field names
  std::string page_text_;            // the page path as the status line shows it
  std::string book_;                 // the address book, read whole
  std::vector<AliasEntry> aliases_;  // its alias lines, in file order
  ReplacingFile page_;
  NicknameWorkList work_list_;
  // The line being worked on, for a failure's place: its number (from 1, 0
  // for none) and, in the second pass, its alias entry.
  std::size_t line_number_ = 0;
  const AliasEntry* entry_ = nullptr;
  ConversionOutcome outcome_;
};

// Everything the run does, from its first step, is under its error trap.
ConversionOutcome ConversionRun::Run() {
  try {
    if (!Start()) {
      Abandon();
    } else if (state_.addressbook.empty()) {
      ReportEmptyName(front_);
    } else {
      Convert();
    }
  } catch (const std::exception&) {
    outcome_.end = ConversionOutcome::End::kFailed;
    Trap(CurrentFailure());
  }
  return std::move(outcome_);
}

bool ConversionRun::Start() {
  state_.proc = kRunProc;
  view_.SetStatusText("Working...");
  state_.ctr = 0;
  front_.SetButtonEnabled(Button::kConvert, false);
  front_.SetButtonEnabled(Button::kBrowse, false);
  front_.SetButtonEnabled(Button::kView, false);
  state_.addressbook = view_.AddressBookText();
  book_path_ = view_.AddressBookPath();
  return view_.PumpEvents() == PumpResult::kContinue;
}

void ConversionRun::Convert() {
  native::FileId book_id;
  book_ = ReadTextFile(book_path_, &book_id);
  // Nothing the run writes (the page, the settings file) may be the book.
  const ReplacingFile::Protect keep_book(book_id);
  page_text_ = PagePathFor(state_.addressbook);
  htmlfile_ = PagePathFor(book_path_);
  if (NamesSameFile(htmlfile_, book_path_)) {
    return ReportWouldOverwrite(front_, "page", state_.addressbook);
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
  // Room for exactly the book's alias lines, counted first, so the lists
  // never move and hold no more than they need.
  std::size_t most = 0;
  {
    LineCursor counter(book_);
    std::string_view line;
    while (counter.Next(line)) most += IsAliasLine(line) ? 1 : 0;
  }
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
    line_number_ = number + 1;
    const NicknameCut cut = NicknameOf(line);
    work_list_.Append(cut.nickname);
    index.AddAliasLine(number, cut.nickname, cut.separator == 32767);
    aliases_.push_back({line, std::nullopt, number + 1});
  }
  line_number_ = 0;
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
      entry_ = &aliases_[row];
      WriteEntryRow(state_, page_, aliases_[row].line, aliases_[row].next);
      entry_ = nullptr;
      if (state_.ctr % 5 == 0 && !ShowProgress(entries)) return false;
    }
    if (scan.failing) {
      // The scan examines that alias line: its nickname is cut, then its
      // address text, which fails.
      line_number_ = aliases_[*scan.failing].number;
      state_.a.assign(aliases_[*scan.failing].line);
      const Int16 separator = ExtractNickname(state_);
      state_.emailaddress = AddressTextAfter(state_.a, separator);
    }
    scan = next_scan;
  }
  return true;
}

bool ConversionRun::ShowProgress(Int16 entries) {
  view_.SetStatusText("Converted " + NumberText(state_.ctr) + " of " + NumberText(entries) +
                      " ...");
  return view_.PumpEvents() == PumpResult::kContinue;
}

void ConversionRun::EndStep() {
  WriteFooter(state_, page_);
  work_list_.Clear();
  view_.SetStatusText("Done. " + NumberText(state_.ctr) + " Nicknames converted to:\r\n" +
                      page_text_);
  if (state_.ctr >= 1 && options_.history != nullptr) {
    options_.history->UpdateAddressBookList(state_, state_.addressbook);
    options_.history->WriteINIFile(state_);
    // UpdateAddressBookList leaves its name in `proc` (the load step keeps
    // it), so the run stores its own again.
    state_.proc = kRunProc;
  }
  front_.SetButtonEnabled(Button::kConvert, true);
  front_.SetButtonEnabled(Button::kView, true);
  front_.SetButtonEnabled(Button::kBrowse, true);
  front_.FocusButton(Button::kView);
  outcome_.end = ConversionOutcome::End::kConverted;
}

// The run's error trap; the window failing to show the report is trapped
// again, but only so often.
void ConversionRun::Trap(const Failure& failure) {
  TrapBounded(failure, [this](const Failure& current) { HandleFailure(current); });
}

// The book is read whole when it is opened, so no read can run past its
// end: the run never meets "Input past end of file" (62).
void ConversionRun::HandleFailure(const Failure& failure) {
  if (failure.code() == kFileNotFound) {
    ReportMissingBook(front_, state_.addressbook);
  } else {
    ShowError(state_, failure, view_);
    outcome_.failure_place = FailurePlace{state_.addressbook, FailingLine()};
  }
  CommonTail();
}

// The line a failure is about: the alias line of the row being written, or
// its note line once the row has moved on to it; the line the first pass or
// a scan was cutting; none for the rest (the file, the page, the settings).
std::size_t ConversionRun::FailingLine() const {
  if (entry_ == nullptr) return line_number_;
  return state_.a == entry_->line ? entry_->number : entry_->number + 1;
}

void ConversionRun::CommonTail() {
  page_.Abandon();
  front_.SetButtonEnabled(Button::kConvert, true);
  front_.SetButtonEnabled(Button::kBrowse, true);
  work_list_.Clear();
}

// The window is going away: leave no unfinished page behind.
void ConversionRun::Abandon() {
  page_.Abandon();
  work_list_.Clear();
  outcome_.end = ConversionOutcome::End::kClosing;
}

}  // namespace

std::string PagePathFor(const std::string& addressbook) {
  return WithEnding(addressbook, ".htm");
}

std::filesystem::path PagePathFor(const std::filesystem::path& addressbook) {
  return WithEnding(addressbook, ".htm");
}

void FinishInterruptedPage(const std::filesystem::path& addressbook) {
  std::filesystem::path page;
  try {
    page = PagePathFor(addressbook);
  } catch (const Failure&) {
    return;  // a name too short for a page: there is no page to finish
  }
  if (native::KindOf(page) == native::Kind::kRegular) ReplacingFile::FinishInterruptedCopy(page);
}

ConversionOutcome RunConversion(ConverterState& state, ConverterWindow& window,
                                std::filesystem::path& htmlfile, const RunOptions& options) {
  const RunFront front(window);
  return ConversionRun(state, front, htmlfile, options).Run();
}

ConversionOutcome RunConversion(ConverterState& state, RunView& view,
                                std::filesystem::path& htmlfile, const RunOptions& options) {
  const RunFront front(view);
  return ConversionRun(state, front, htmlfile, options).Run();
}

}  // namespace veltrana
