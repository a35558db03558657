// How a run ended, told from what it showed the window: View enabled (only
// a run that reached its end does that), or its message.
#pragma once

#include <string>

#include "conversion/conversion_run.h"
#include "support/recording_window.h"

namespace veltrana::test {

enum class RunOutcome {
  kConverted,         // reached its end step: View enabled
  kEmptyName,         // "Must enter name of Address Book file to convert"
  kFileNotFound,      // "Specified Address Book does not exist."
  kRefusedOverwrite,  // "The page would overwrite the address book itself."
  kFailed,            // the error report
  kAbandoned,         // ended without a word: the window was closing
};

// Runs a conversion through `window` and tells how it ended.
inline RunOutcome RunThrough(ConverterState& state, RecordingWindow& window,
                             std::filesystem::path& htmlfile, const RunOptions& options) {
  const std::size_t earlier_messages = window.messages.size();
  RunConversion(state, window, htmlfile, options);
  if (window.enabled[Button::kView]) return RunOutcome::kConverted;
  if (window.messages.size() == earlier_messages) return RunOutcome::kAbandoned;
  const std::string& message = window.messages[earlier_messages];
  const auto starts = [&message](const char* text) { return message.rfind(text, 0) == 0; };
  if (starts("Must enter name")) return RunOutcome::kEmptyName;
  if (starts("Specified Address Book does not exist.")) return RunOutcome::kFileNotFound;
  if (starts("The page would overwrite")) return RunOutcome::kRefusedOverwrite;
  return RunOutcome::kFailed;
}

}  // namespace veltrana::test
