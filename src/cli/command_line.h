// The arguments of veltrana-convert.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/calendar_date.h"
#include "cli/export_options.h"

namespace veltrana {

struct CommandLine {
  enum class Action { kConvert, kExport, kHelp, kVersion, kUsageError };
  Action action = Action::kConvert;
  std::string address_book;                 // exactly as given, not trimmed
  std::vector<std::string> export_paths;    // for kExport: books and Eudora folders, in order
  std::optional<CalendarDate> date;         // from SOURCE_DATE_EPOCH
  std::optional<std::string> settings_dir;  // --settings-dir DIR
  std::string error;                        // for kUsageError
  ExportOptions export_options;             // for kExport
};

// `arguments` without the program name; `source_date_epoch` is the
// variable's value, or null when it is not set. "--" ends the options, so
// an address book whose name begins with "-" can be given after it.
[[nodiscard]] CommandLine ParseCommandLine(const std::vector<std::string>& arguments,
                                           const char* source_date_epoch);

}  // namespace veltrana
