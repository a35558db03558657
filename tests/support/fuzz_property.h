// The properties a fuzzer checks: one that does not hold stops the fuzzer at
// once and names itself, so that libFuzzer keeps the input that broke it.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace veltrana::test {

[[noreturn]] inline void Fail(const char* property, const std::string& detail = "") {
  std::fprintf(stderr, "property violated: %s\n", property);
  if (!detail.empty()) std::fprintf(stderr, "%s\n", detail.c_str());
  std::abort();
}

inline void Check(bool holds, const char* property, const std::string& detail = "") {
  if (!holds) Fail(property, detail);
}

}  // namespace veltrana::test
