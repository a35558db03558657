// What the window's Save dialog for an export shows and gives back,
// whichever toolkit draws it: the file types, one per export format with
// vCard 3.0 first (preselected), the suggested file, and the check box that
// takes the other books of a Eudora folder along.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "formats/export.h"

namespace veltrana {

struct ExportFileType {
  ExportFormat format;
  std::string caption;    // "vCard 3.0: phones, ... (*.vcf)"
  std::string pattern;    // "*.vcf"
  std::string extension;  // "vcf", added to a name typed without one
};

// One per format, in the order the formats are listed.
const std::vector<ExportFileType>& ExportFileTypes();

inline constexpr std::string_view kExportDialogTitle = "Export Address Book";
inline constexpr std::string_view kWholeFolderCaption =
    "Include the other address books in this folder";

struct ExportDialogRequest {
  std::string suggested_text;  // the suggested file, as the program keeps text
  std::filesystem::path suggested;
  bool offers_whole_folder = false;  // the check box, on when shown
};

struct ExportDialogAnswer {
  std::filesystem::path path;
  std::string text;      // as the status line shows it
  std::size_t type = 0;  // into ExportFileTypes()
  bool whole_folder = false;
};

// The length of the ending of `name` that is one of the file types' (with
// its dot, letter case ignored), 0 when it ends in none: the dialog puts
// the chosen type's ending in its place when the user changes the type.
[[nodiscard]] std::size_t ExportEndingLength(std::string_view name);

}  // namespace veltrana
