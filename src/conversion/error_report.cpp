#include "conversion/error_report.h"

#include "base/number_text.h"
#include "base/program_identity.h"

namespace veltrana {

std::string ErrorReportText(const Failure& failure, std::string_view proc) {
  std::string report = "Error " + NumberText(failure.code()) + ": " + failure.description();
  report.append("\r\nProcedure: ").append(proc);
  return report;
}

void ShowError(const ConverterState& state, const Failure& failure, ConverterWindow& window) {
  window.ShowMessage(ErrorReportText(failure, state.proc), MessageStyle::kPlain, kAppTitle);
}

}  // namespace veltrana
