#include "form/settings_history.h"

#include <exception>

#include "base/failure.h"
#include "conversion/error_report.h"

namespace veltrana {

SettingsLoad LoadSettings(ConverterState& state, AddressBookHistory& history,
                          const SettingsLocation& location, RunView& view) {
  try {
    ReadSettingsFile(state, history, location);
    return SettingsLoad::kRead;
  } catch (const std::exception&) {
    const Failure failure = CurrentFailure();
    if (failure.code() == kFileNotFound || failure.code() == kPathFileAccessError) {
      return SettingsLoad::kNotFound;
    }
    ShowError(state, failure, view);
    return SettingsLoad::kFailed;
  }
}

}  // namespace veltrana
