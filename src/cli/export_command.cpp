#include "cli/export_command.h"

#include "cli/console_view.h"
#include "export/export_run.h"

namespace veltrana {

int RunExportCommand(const ExportFiles& files, const ExportOptions& options, std::FILE* out,
                     std::FILE* errors) {
  ConsoleView view(files.books.empty() ? std::string() : files.books.front().text,
                   files.books.empty() ? std::filesystem::path() : files.books.front().path, errors,
                   false);
  ExportRunOptions run;
  run.charset = options.charset;
  // The target given with -o, else beside the first book.
  run.choose_target = [&](const ExportProposal& proposal) -> std::optional<ExportTarget> {
    if (!options.output) return proposal.Suggested(options.chosen_format());
    ExportTarget target{options.chosen_format(), *options.output, files.output_path};
    target.standard_output = ToStandardOutput(options);
    return target;
  };
  const ExportOutcome outcome = RunExport(files.books, view, run);
  if (outcome.failure_place) view.ShowFailurePlace(*outcome.failure_place);
  for (const std::string& warning : outcome.warnings) PrintText(errors, "Warning: " + warning + "\r\n");
  std::fflush(errors);
  // With the export on standard output, the status line goes with the
  // messages, so that the output holds the export alone.
  std::FILE* status_to = ToStandardOutput(options) ? errors : out;
  if (std::fflush(out) != 0) return 1;
  PrintText(status_to, outcome.Report(view.status_text()) + "\r\n");
  if (std::fflush(status_to) != 0) return 1;
  return outcome.end == ExportOutcome::End::kWritten ? 0 : 1;
}

}  // namespace veltrana
