// The command line's export options:
//   --export vcard|vcard4|csv|ldif|mutt|html  [--vcard-version 3.0|4.0]
//   [--charset auto|NAME]  [-o FILE]
// Each takes its value as the next argument or after "=" ("--export=csv").
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "formats/export.h"
#include "formats/vcard_writer.h"
#include "text/charset.h"

namespace veltrana {

struct ExportOptions {
  std::optional<ExportFormat> format;  // set by --export: the run exports
  std::optional<VCardVersion> vcard_version;
  std::optional<Charset> charset;  // none: "auto", each book's own
  bool charset_given = false;      // --charset, "auto" too
  std::optional<std::string> output;

  // The format, "vcard" taken in the version --vcard-version names.
  ExportFormat chosen_format() const;
};

// Whether `argument` is one of the export options.
bool IsExportOption(const std::string& argument);

// Takes the export option at arguments[i] and its value (moving `i` past a
// value given as the next argument). Returns an error message for a missing
// or unknown value, else an empty text.
std::string TakeExportOption(const std::vector<std::string>& arguments, std::size_t& i,
                             ExportOptions& options);

// True for "-o -": the export goes to standard output.
inline bool ToStandardOutput(const ExportOptions& options) {
  return options.output && *options.output == "-";
}

// An error message when the options do not go together (an export option
// without --export, a vCard version for CSV), else an empty text.
std::string CheckExportOptions(const ExportOptions& options);

}  // namespace veltrana
