// The one report of unexpected failures: the code, its description and the
// operation named in `proc`.
#pragma once

#include <string>

#include "core/converter_state.h"
#include "core/converter_window.h"
#include "core/failure.h"

namespace veltrana {

// "Error  6: Overflow" CR LF "Procedure: WriteHTMLLine()".
std::string ErrorReportText(const Failure& failure, const std::string& proc);

// Shows the report in a plain message box titled with the application title
// and returns; it changes no state, so the caller goes on with its recovery.
void ShowError(const ConverterState& state, const Failure& failure, ConverterWindow& window);

}  // namespace veltrana
