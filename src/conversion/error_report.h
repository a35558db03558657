// The one report of unexpected failures: the code, its description and the
// operation named in `proc`.
#pragma once

#include <string>

#include "base/failure.h"
#include "conversion/converter_window.h"
#include "page/converter_state.h"

namespace veltrana {

// "Error  6: Overflow" CR LF "Procedure: WriteHTMLLine()".
std::string ErrorReportText(const Failure& failure, std::string_view proc);

// Shows the report in a plain message box titled with the application title
// and returns; it changes no state, so the caller goes on with its recovery.
void ShowError(const ConverterState& state, const Failure& failure, ConverterWindow& window);

}  // namespace veltrana
