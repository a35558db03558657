// Runs a function when the scope it guards ends, however it ends: a state
// that must be restored after an operation is restored by this, not by hand
// on each way out.
//
//   running_ = true;
//   const ScopeExit run_ended([this] { running_ = false; });
#pragma once

#include <utility>

namespace veltrana {

template <typename Function>
class [[nodiscard]] ScopeExit {
 public:
  explicit ScopeExit(Function function) : function_(std::move(function)) {}
  ~ScopeExit() { function_(); }

  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;

 private:
  Function function_;
};

}  // namespace veltrana
