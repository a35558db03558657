#include "cli/export_options.h"

#include <string_view>

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
  if (equals != std::string::npos && argument.rfind("--", 0) == 0) {
    return {std::string_view(argument).substr(0, equals), argument.substr(equals + 1)};
  }
  if (i + 1 == arguments.size()) return {argument, std::nullopt};
  return {argument, arguments[++i]};
}

}  // namespace

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
      return "--charset takes windows-1252, iso-8859-1, macintosh or utf-8, not '" + value + "'";
    }
  } else {
    if (value.empty()) return name + " needs a file name";
    options.output = value;
  }
  return {};
}

std::string CheckExportOptions(const ExportOptions& options) {
  if (!options.format) {
    if (options.vcard_version) return "--vcard-version goes with --export vcard";
    if (options.charset) return "--charset goes with --export";
    if (options.output) return "-o goes with --export";
    return {};
  }
  if (options.vcard_version && *options.format != ExportFormat::kVCard) {
    return "--vcard-version goes with --export vcard";
  }
  return {};
}

}  // namespace veltrana
