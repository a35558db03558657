// Runs a program as a person or a script runs it: in a folder, with some
// variables set, nothing on its input, its two outputs collected. POSIX
// and Windows each with their own calls, so the same tests run on both.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace veltrana::test {

struct ProgramResult {
  int status = -1;  // the exit status, -1 when the program did not exit normally
  int signal = 0;   // the signal that ended it, 0 when none did (POSIX only)
  std::string out;
  std::string err;
};

struct ProgramRun {
  std::vector<std::string> arguments;  // 8-bit, as a shell would pass them
  std::vector<std::pair<std::string, std::string>> environment;  // set in addition
  std::optional<long> file_size_limit;  // bytes a file may grow to (POSIX only)
  // Standard error is a pipe whose reading end is closed before the
  // program starts, so its first write there fails (POSIX only); `err`
  // stays empty.
  bool error_to_closed_pipe = false;
};

ProgramResult RunProgram(const std::filesystem::path& program, const ProgramRun& run,
                         const std::filesystem::path& folder);

// The same for a program whose console output the tests read with LF line
// ends: on Windows its lines end with CR LF, which become LF.
ProgramResult RunConsoleProgram(const std::filesystem::path& program, const ProgramRun& run,
                                const std::filesystem::path& folder);

}  // namespace veltrana::test
