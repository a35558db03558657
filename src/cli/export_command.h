// veltrana-convert --export: address books, or the books of Eudora
// folders, written out as one file for other address books. A book that
// cannot be read is reported as the page run reports it; the export file is
// replaced whole or not at all.
#pragma once

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/calendar_date.h"
#include "cli/export_options.h"
#include "export/export_run.h"

namespace veltrana {

// The files of an export: the books and folders as given, and the target
// given with -o, if any.
struct ExportFiles {
  std::vector<ExportPath> books;
  std::filesystem::path output_path;  // empty: beside the first book
  std::optional<CalendarDate> date;  // from SOURCE_DATE_EPOCH, for the page of today
};

// Runs the export; the status line goes to `out`, every message to
// `errors`. Returns the exit status: 0 when the file was written, else 1.
[[nodiscard]] int RunExportCommand(const ExportFiles& files, const ExportOptions& options,
                                   std::FILE* out, std::FILE* errors);

}  // namespace veltrana
