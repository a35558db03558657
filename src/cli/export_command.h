// veltrana-convert --export: the address book written out as vCards or as
// CSV for other address books. A book that cannot be read is reported as
// the page run reports it; the export file is replaced whole or not at all.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

#include "cli/export_options.h"

namespace veltrana {

// The files of an export: the book as given (its text and the system's name
// for it), and the target given with -o, if any.
struct ExportFiles {
  std::string addressbook;
  std::filesystem::path book_path;
  std::filesystem::path output_path;  // empty: beside the book
};

// Runs the export; the status line goes to `out`, every message to
// `errors`. Returns the exit status: 0 when the file was written, else 1.
int RunExportCommand(const ExportFiles& files, const ExportOptions& options, std::FILE* out,
                     std::FILE* errors);

}  // namespace veltrana
