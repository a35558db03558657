#include "cli/export_options.h"

#include <string_view>

#include "base/int16.h"

namespace veltrana {

namespace {

struct Option {
  std::string_view name;
  std::optional<std::string> value;  // none when it is missing
};

constexpr std::string_view kNames[] = {"--export", "--vcard-version", "--charset", "--output",
                                       "-o"};

// The option's name and its value, from "--name=value" or from the next
// argument.
Option Split(const std::vector<std::string>& arguments, std::size_t& i) {
  const std::string& argument = arguments[i];
  const std::size_t equals = argument.find('=');
  if (equals != std::string::npos && StartsWith(argument, "--")) {
    return {std::string_view(argument).substr(0, equals), argument.substr(equals + 1)};
  }
  if (i + 1 == arguments.size()) return {argument, std::nullopt};
  return {argument, arguments[++i]};
}

// "a, b or c": the names the export reads, each set by the name it prints.
std::string CharsetChoices() {
  const std::vector<std::string_view> names = CharsetNames();
  std::string choices;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) choices += i + 1 == names.size() ? " or " : ", ";
    choices += names[i];
  }
  return choices;
}

}  // namespace

const char* ExportEnding(ExportFormat format) {
  return format == ExportFormat::kCsv ? ".csv" : ".vcf";
}

bool IsExportOption(const std::string& argument) {
  const std::string_view name = std::string_view(argument).substr(0, argument.find('='));
  for (const std::string_view known : kNames) {
    if (name == known && (known != "-o" || argument == "-o")) return true;
  }
  return false;
}

std::string TakeExportOption(const std::vector<std::string>& arguments, std::size_t& i,
                             ExportOptions& options) {
  const Option option = Split(arguments, i);
  const std::string name(option.name);
  if (!option.value) return name + " needs a value";
  const std::string& value = *option.value;
  if (name == "--export") {
    if (value == "vcard") {
      options.format = ExportFormat::kVCard;
    } else if (value == "csv") {
      options.format = ExportFormat::kCsv;
    } else {
      return "--export takes vcard or csv, not '" + value + "'";
    }
  } else if (name == "--vcard-version") {
    if (value == "3.0") {
      options.vcard_version = VCardVersion::k30;
    } else if (value == "4.0") {
      options.vcard_version = VCardVersion::k40;
    } else {
      return "--vcard-version takes 3.0 or 4.0, not '" + value + "'";
    }
  } else if (name == "--charset") {
    options.charset = CharsetNamed(value);
    if (!options.charset) {
      return "--charset takes " + CharsetChoices() + ", not '" + value + "'";
    }
  } else {
    if (value.empty()) return name + " needs a file name";
    options.output = value;
  }
  return {};
}

std::string CheckExportOptions(const ExportOptions& options) {
  if (options.vcard_version && options.format != ExportFormat::kVCard) {
    return "--vcard-version goes with --export vcard";
  }
  if (!options.format) {
    if (options.charset) return "--charset goes with --export";
    if (options.output) return "-o goes with --export";
  }
  return {};
}

}  // namespace veltrana
