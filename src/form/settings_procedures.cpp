#include "form/settings_procedures.h"

#include <exception>
#include <optional>

#include "base/failure.h"
#include "conversion/error_report.h"
#include "page/procedure_name.h"

namespace veltrana {

namespace {

constexpr const char* kUpdateAddressBookListProc = "UpdateAddressBookList()";

}  // namespace

SettingsLoad LoadSettings(ConverterState& state, SettingsHistory& settings, RunView& view) {
  try {
    // The file is read whole before any of its lines is taken: a failure
    // comes before the first accepted line, under the load step's name.
    const std::optional<std::string> current = settings.Read();
    if (current) {
      state.addressbook = *current;
      state.proc = kUpdateAddressBookListProc;
    }
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

void UpdateAddressBookList(ConverterState& state, SettingsHistory& settings, std::string path) {
  state.proc = kUpdateAddressBookListProc;
  settings.UpdateAddressBookList(std::move(path));
}

void WriteINIFile(ConverterState& state, const SettingsHistory& settings) {
  const ProcedureName name(state, "WriteINIFile()");
  settings.Write(state.addressbook);
}

}  // namespace veltrana
