// The main form's procedures around the settings: the load step's settings
// read, UpdateAddressBookList and WriteINIFile. They work on the window's
// converter state as the form's procedures do, each naming itself in
// `proc`, and on the history and settings file a SettingsHistory keeps.
// The command line keeps its history the same way when it is given a
// settings folder.
#pragma once

#include <string>

#include "conversion/conversion_run.h"
#include "conversion/run_view.h"
#include "page/converter_state.h"
#include "settings/settings_history.h"

namespace veltrana {

// How the load step's settings read ended.
enum class SettingsLoad {
  kRead,      // read (perhaps empty): the window shows "Ready"
  kNotFound,  // no settings file, or it could not be accessed: read as empty
  kFailed,    // any other failure, shown through the error report
};

// The load step's settings read: every accepted line's path joins the
// history, and the last one becomes `addressbook`; from then on `proc`
// names UpdateAddressBookList, which the load step leaves there. A missing
// or inaccessible file (53, 75) reads as empty; any other failure is shown
// through the error report on `view`, naming the operation in `proc`.
SettingsLoad LoadSettings(ConverterState& state, SettingsHistory& settings, RunView& view);

// Adds `path` to the history; leaves "UpdateAddressBookList()" in `proc`.
void UpdateAddressBookList(ConverterState& state, SettingsHistory& settings, std::string path);

// Rewrites the settings file from the history and `addressbook`, naming
// "WriteINIFile()" in `proc` while it does; a failure leaves it there.
void WriteINIFile(ConverterState& state, const SettingsHistory& settings);

// The run's end step over `settings`: UpdateAddressBookList, then
// WriteINIFile.
class SettingsEndStep : public ConversionHistory {
 public:
  explicit SettingsEndStep(SettingsHistory& settings) : settings_(settings) {}

  void UpdateAddressBookList(ConverterState& state, std::string path) override {
    veltrana::UpdateAddressBookList(state, settings_, std::move(path));
  }
  void WriteINIFile(ConverterState& state) override { veltrana::WriteINIFile(state, settings_); }

 private:
  SettingsHistory& settings_;
};

}  // namespace veltrana
