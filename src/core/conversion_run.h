// The conversion run: what the Convert button does. It reads the address
// book named in the window's field and writes its page beside it, one table
// row per alias line, sorted by nickname.
#pragma once

#include <optional>
#include <string>

#include "core/converter_state.h"
#include "core/converter_window.h"
#include "html/page_date.h"

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
enum class RunOutcome {
  kConverted,         // reached its end step: the page is complete
  kEmptyName,         // the field was empty
  kFileNotFound,      // the address book does not exist
  kRefusedOverwrite,  // the page would have replaced the address book
  kFailed,            // any other failure, shown through the error report
  kAbandoned,         // the window was closed in the middle of the run
};

// Runs one conversion. `htmlfile` receives the page path once the address
// book has been opened.
RunOutcome cmdConvert_Click(ConverterState& state, ConverterWindow& window, std::string& htmlfile,
                            const RunOptions& options = {});

// The page path of an address book: its last four characters replaced by
// ".htm". Code 5 for a name of fewer than four characters.
std::string PagePathFor(const std::string& addressbook);

}  // namespace veltrana
