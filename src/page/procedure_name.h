// The `proc` convention as a scope: an operation names itself in `proc` on
// entry. When it returns, the caller's name is back, as the caller would
// store it again after the call; when it fails, its own name stays, so that
// the error report names the operation whose step failed.
//
//   void WriteFooter(ConverterState& state, ReplacingFile& page) {
//     const ProcedureName name(state, "WriteFooter()");
//     ...
//
// The window's event procedures, which nothing calls, and an operation whose
// name is meant to stay after it returns (UpdateAddressBookList, whose name
// the load step keeps) store their names without it.
#pragma once

#include <exception>
#include <string_view>

#include "page/converter_state.h"

namespace veltrana {

class [[nodiscard]] ProcedureName {
 public:
  // `name` lives as long as the program (`proc` views it).
  ProcedureName(ConverterState& state, std::string_view name)
      : state_(state), caller_(state.proc), failures_(std::uncaught_exceptions()) {
    state.proc = name;
  }
  ~ProcedureName() {
    if (std::uncaught_exceptions() == failures_) state_.proc = caller_;
  }

  ProcedureName(const ProcedureName&) = delete;
  ProcedureName& operator=(const ProcedureName&) = delete;

 private:
  ConverterState& state_;
  std::string_view caller_;
  int failures_;  // exceptions in flight on entry: more on exit means a failure
};

}  // namespace veltrana
