// The conversion run: what the Convert button does. It reads the address
// book named in the window's field and writes its page beside it, one table
// row per alias line, sorted by nickname. Everything the user learns of it
// reaches the front end that started it: the status line and message boxes,
// and in a window also which buttons are enabled (View only after a run that
// reached its end) and the focus.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "base/calendar_date.h"
#include "conversion/converter_window.h"
#include "conversion/error_report.h"
#include "conversion/run_view.h"
#include "page/converter_state.h"

namespace veltrana {

// What the run's end step does with an address book that gave at least one
// row: add it to the history, then rewrite the settings file.
class ConversionHistory {
 public:
  virtual ~ConversionHistory() = default;
  virtual void UpdateAddressBookList(ConverterState& state, std::string path) = 0;
  virtual void WriteINIFile(ConverterState& state) = 0;
};

struct RunOptions {
  // The date in the page header; today's local date when unset.
  std::optional<CalendarDate> date;
  // Where converted address books are remembered; none when null.
  ConversionHistory* history = nullptr;
};

// How a run ended.
struct ConversionOutcome {
  enum class End {
    kConverted,  // reached its end step: the page is complete (a window enables View)
    kFailed,     // ended with a message to the front end; no complete page
    kClosing,    // the window was closed during the run; no page is left
  };
  End end = End::kFailed;
  // Where the failure the error report showed arose; none when the run
  // ended otherwise.
  std::optional<FailurePlace> failure_place;
};

// Runs one conversion from `window`, as its Convert button does: the window
// shows the run, and its buttons and focus follow it. `htmlfile` receives
// the page path once the address book has been opened. When the window
// answers an event pump with "closing", the run ends there and leaves no
// page.
ConversionOutcome RunConversion(ConverterState& state, ConverterWindow& window,
                                std::filesystem::path& htmlfile, const RunOptions& options = {});

// The same without a window (the command line, the browser edition): `view`
// shows the run, and only the outcome tells whether the page was made.
[[nodiscard]] ConversionOutcome RunConversion(ConverterState& state, RunView& view,
                                              std::filesystem::path& htmlfile,
                                              const RunOptions& options = {});

// The page path of an address book: its last four characters replaced by
// ".htm". Code 5 for a name of fewer than four characters. The text form is
// what the user is shown; the path form is the file, in the system's own
// characters.
[[nodiscard]] std::string PagePathFor(const std::string& addressbook);
[[nodiscard]] std::filesystem::path PagePathFor(const std::filesystem::path& addressbook);

// Finishes the copy over the page of `addressbook` that a run killed in the
// middle of it left unfinished (the window's start does this for the book
// it shows); nothing when there is none or the name gives no page.
void FinishInterruptedPage(const std::filesystem::path& addressbook);

}  // namespace veltrana
