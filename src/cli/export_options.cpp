#include "cli/export_options.h"

#include <string_view>

#include "base/text_positions.h"

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
  if (equals != std::string::npos && argument.starts_with("--")) {
    return {std::string_view(argument).substr(0, equals), argument.substr(equals + 1)};
  }
  if (i + 1 == arguments.size()) return {argument, std::nullopt};
  return {argument, arguments[++i]};
}

// "a, b or c".
std::string Choices(const std::vector<std::string_view>& names) {
  std::string choices;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) choices += i + 1 == names.size() ? " or " : ", ";
    choices += names[i];
  }
  return choices;
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
    options.format = ExportFormatNamed(value);
    if (!options.format) {
      std::vector<std::string_view> names;
      for (const ExportFormatInfo& info : ExportFormats()) names.push_back(info.name);
      return "--export takes " + Choices(names) + ", not '" + value + "'";
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
    options.charset_given = true;
    if (!options.charset && value != "auto") {
      std::vector<std::string_view> names{"auto"};
      for (const std::string_view charset : CharsetNames()) names.push_back(charset);
      return "--charset takes " + Choices(names) + ", not '" + value + "'";
    }
  } else {
    if (value.empty()) return name + " needs a file name";
    options.output = value;
  }
  return {};
}

ExportFormat ExportOptions::chosen_format() const {
  const ExportFormat named = format.value_or(ExportFormat::kVCard30);
  if (named == ExportFormat::kVCard30 && vcard_version == VCardVersion::k40) {
    return ExportFormat::kVCard40;
  }
  return named;
}

std::string CheckExportOptions(const ExportOptions& options) {
  if (options.vcard_version && options.format != ExportFormat::kVCard30) {
    return "--vcard-version goes with --export vcard";
  }
  if (!options.format) {
    if (options.charset_given) return "--charset goes with --export";
    if (options.output) return "-o goes with --export";
  }
  return {};
}

}  // namespace veltrana
