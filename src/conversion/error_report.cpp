#include "conversion/error_report.h"

#include "base/number_text.h"
#include "base/program_identity.h"

namespace veltrana {

std::string ErrorReportText(const Failure& failure, std::string_view proc) {
  std::string report = "Error " + NumberText(failure.code()) + ": " + failure.description();
  report.append("\r\nProcedure: ").append(proc);
  return report;
}

void ShowError(const ConverterState& state, const Failure& failure, RunView& view) {
  view.ShowMessage(ErrorReportText(failure, state.proc), MessageStyle::kPlain, kAppTitle);
}

std::string FailurePlaceText(const FailurePlace& place) {
  if (place.line == 0) return place.book;
  return place.book + ", line " + std::to_string(place.line);
}

}  // namespace veltrana
