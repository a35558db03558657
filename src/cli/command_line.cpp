#include "cli/command_line.h"

#include <cerrno>
#include <cstdlib>

namespace veltrana {

namespace {

CommandLine UsageError(std::string message) {
  CommandLine command;
  command.action = CommandLine::Action::kUsageError;
  command.error = std::move(message);
  return command;
}

// The page's date has four digits for the year: SOURCE_DATE_EPOCH must fall
// from the first moment of year 1 to the last of year 9999 (UTC).
constexpr long long kFirstSecondOfYear1 = -62135596800;
constexpr long long kLastSecondOfYear9999 = 253402300799;

bool ParseEpoch(const char* text, long long& seconds) {
  const char* digits = *text == '-' ? text + 1 : text;
  if (*digits == '\0') return false;
  for (const char* c = digits; *c != '\0'; ++c) {
    if (*c < '0' || *c > '9') return false;
  }
  errno = 0;
  char* end = nullptr;
  seconds = std::strtoll(text, &end, 10);
  return errno == 0 && *end == '\0' && seconds >= kFirstSecondOfYear1 &&
         seconds <= kLastSecondOfYear9999;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments,
                             const char* source_date_epoch) {
  CommandLine command;
  std::vector<std::string> positional;
  bool options_ended = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (!options_ended && argument == "--") {
      options_ended = true;
    } else if (!options_ended && argument == "--help") {
      command.action = CommandLine::Action::kHelp;
      return command;
    } else if (!options_ended && argument == "--version") {
      command.action = CommandLine::Action::kVersion;
      return command;
    } else if (!options_ended && argument == "--settings-dir") {
      if (i + 1 == arguments.size()) return UsageError("--settings-dir needs a folder");
      command.settings_dir = arguments[++i];
    } else if (!options_ended && argument.rfind("--settings-dir=", 0) == 0) {
      command.settings_dir = argument.substr(std::string("--settings-dir=").size());
    } else if (!options_ended && IsExportOption(argument)) {
      const std::string error = TakeExportOption(arguments, i, command.export_options);
      if (!error.empty()) return UsageError(error);
    } else if (!options_ended && argument.size() > 1 && argument[0] == '-') {
      return UsageError("unknown option '" + argument + "'");
    } else {
      positional.push_back(argument);
    }
  }
  const bool exporting = command.export_options.format.has_value();
  if (positional.empty()) return UsageError("no address book given");
  if (positional.size() != 1 && !exporting) return UsageError("give exactly one address book");
  command.address_book = positional.front();
  if (exporting) command.export_paths = positional;
  if (const std::string error = CheckExportOptions(command.export_options); !error.empty()) {
    return UsageError(error);
  }
  if (command.export_options.format) {
    if (command.settings_dir) return UsageError("--settings-dir does not go with --export");
    command.action = CommandLine::Action::kExport;
  }
  if (source_date_epoch != nullptr && *source_date_epoch != '\0') {
    long long seconds = 0;
    if (!ParseEpoch(source_date_epoch, seconds)) {
      return UsageError(
          "SOURCE_DATE_EPOCH must be a whole number of seconds since 1970 that falls in the years "
          "1 to 9999, not '" +
          std::string(source_date_epoch) + "'");
    }
    command.date = UtcDateOfEpochSeconds(seconds);
  }
  return command;
}

}  // namespace veltrana
