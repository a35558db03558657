// An error trap that stays armed while it recovers: when reporting a
// failure fails in turn, that failure is reported instead, but only so
// often. A window that keeps failing gets its last failure back, instead of
// the trap calling itself without end.
#pragma once

#include <exception>

#include "base/failure.h"

namespace veltrana {

template <typename Report>
void TrapBounded(const Failure& failure, Report&& report) {
  constexpr int kTries = 3;
  Failure current = failure;
  for (int attempt = 1;; ++attempt) {
    try {
      return report(current);
    } catch (const std::exception&) {
      if (attempt == kTries) throw;
      current = CurrentFailure();
    }
  }
}

}  // namespace veltrana
