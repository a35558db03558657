// The one report of unexpected failures: the code, its description and the
// operation named in `proc`; and where the failure arose, for the front
// ends that say it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "base/failure.h"
#include "conversion/run_view.h"
#include "page/converter_state.h"

namespace veltrana {

// "Error  6: Overflow" CR LF "Procedure: WriteHTMLLine()".
[[nodiscard]] std::string ErrorReportText(const Failure& failure, std::string_view proc);

// Shows the report in a plain message box titled with the application title
// and returns; it changes no state, so the caller goes on with its recovery.
void ShowError(const ConverterState& state, const Failure& failure, RunView& view);

// Where a failure the error report showed arose: the book as it was given
// and, when the failure is about one line of it, that line's number (from
// 1; 0 for none). The windows' message boxes say enough; the command line
// and the browser edition add it after the report.
struct FailurePlace {
  std::string book;
  std::size_t line = 0;
};

// "nndbase.txt, line 1234", or the book alone.
[[nodiscard]] std::string FailurePlaceText(const FailurePlace& place);

}  // namespace veltrana
