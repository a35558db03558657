#include "core/error_report.h"

#include "core/number_text.h"

namespace veltrana {

std::string ErrorReportText(const Failure& failure, const std::string& proc) {
  return "Error " + NumberText(failure.code()) + ": " + failure.description() + "\r\n" +
         "Procedure: " + proc;
}

void ShowError(const ConverterState& state, const Failure& failure, ConverterWindow& window) {
  window.ShowMessage(ErrorReportText(failure, state.proc), kStylePlain, kAppTitle);
}

}  // namespace veltrana
