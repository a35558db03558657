// veltrana-convert --export: the address book written out as vCards or as
// CSV for other address books. A book that cannot be read is reported as
// the page run reports it; the export file is replaced whole or not at all.
#pragma once

#include <cstdio>
#include <string>

#include "cli/export_options.h"

namespace veltrana {

// The export file of an address book: its last four characters replaced by
// `ending` (".vcf", ".csv"). Code 5 for a name of fewer than four characters.
std::string ExportPathFor(const std::string& addressbook, const char* ending);

// Runs the export; the status line goes to `out`, every message to
// `errors`. Returns the exit status: 0 when the file was written, else 1.
int RunExportCommand(const std::string& addressbook, const ExportOptions& options, std::FILE* out,
                     std::FILE* errors);

}  // namespace veltrana
