// The address-book history kept in a settings file, as the window keeps it:
// read by the load step, remembered and rewritten by the run's end step.
// The command line keeps it the same way when it is given a settings folder.
#pragma once

#include <string>

#include "conversion/conversion_run.h"
#include "conversion/run_view.h"
#include "page/converter_state.h"
#include "settings/address_book_history.h"
#include "settings/settings_file.h"

namespace veltrana {

// How the load step's settings read ended.
enum class SettingsLoad {
  kRead,      // read (perhaps empty): the window shows "Ready"
  kNotFound,  // no settings file, or it could not be accessed: read as empty
  kFailed,    // any other failure, shown through the error report
};

// The load step's settings read: a missing or inaccessible file (53, 75)
// reads as empty; any other failure is shown through the error report on
// `view`, naming the operation in `proc`.
SettingsLoad LoadSettings(ConverterState& state, AddressBookHistory& history,
                          const SettingsLocation& location, RunView& view);

// A history and the settings file it is kept in.
class SettingsHistory : public ConversionHistory {
 public:
  explicit SettingsHistory(SettingsLocation location) : location_(std::move(location)) {}

  // The load step's read (see LoadSettings).
  SettingsLoad Load(ConverterState& state, RunView& view) {
    return LoadSettings(state, history_, location_, view);
  }
  const AddressBookHistory& history() const { return history_; }

  // The run's end step.
  void UpdateAddressBookList(ConverterState& state, std::string path) override {
    history_.UpdateAddressBookList(state, std::move(path));
  }
  void WriteINIFile(ConverterState& state) override {
    veltrana::WriteINIFile(state, history_, location_);
  }

 private:
  AddressBookHistory history_;
  SettingsLocation location_;
};

}  // namespace veltrana
