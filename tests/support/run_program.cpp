#include "support/run_program.h"

#include "base/system_text.h"
#include "support/temp_dir.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#endif

namespace veltrana::test {

namespace {

#if defined(_WIN32)

// One argument as the C runtime's command-line parser reads it back.
std::wstring Quoted(const std::wstring& argument) {
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, L'\\');
  return quoted + L"\"";
}

HANDLE InheritableFile(const std::filesystem::path& path, bool write) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  return CreateFileW(path.c_str(), write ? GENERIC_WRITE : GENERIC_READ,
                     FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                     write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

int Start(const std::filesystem::path& program, const ProgramRun& run,
          const std::filesystem::path& folder, const std::filesystem::path& out,
          const std::filesystem::path& err, int& signal) {
  signal = 0;
  std::wstring command = Quoted(program.wstring());
  for (const std::string& argument : run.arguments) command += L" " + Quoted(WideOfText(argument));
  for (const auto& [name, value] : run.environment) {
    SetEnvironmentVariableW(WideOfText(name).c_str(), WideOfText(value).c_str());
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = InheritableFile("NUL", false);
  startup.hStdOutput = InheritableFile(out, true);
  startup.hStdError = InheritableFile(err, true);
  PROCESS_INFORMATION process{};
  const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                      folder.c_str(), &startup, &process);
  for (const auto& [name, value] : run.environment) {
    SetEnvironmentVariableW(WideOfText(name).c_str(), nullptr);
  }
  CloseHandle(startup.hStdInput);
  CloseHandle(startup.hStdOutput);
  CloseHandle(startup.hStdError);
  if (!started) return -1;
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 0;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return static_cast<int>(status);
}

#else

// A pipe whose reading end is closed already: the first write fails.
int ClosedPipe() {
  int ends[2];
  if (::pipe(ends) != 0) return -1;
  ::close(ends[0]);
  return ends[1];
}

int Start(const std::filesystem::path& program, const ProgramRun& run,
          const std::filesystem::path& folder, const std::filesystem::path& out,
          const std::filesystem::path& err, int& signal) {
  signal = 0;
  const pid_t child = ::fork();
  if (child < 0) return -1;
  if (child == 0) {
    const int in = ::open("/dev/null", O_RDONLY);
    const int to_out = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int to_err = run.error_to_closed_pipe
                           ? ClosedPipe()
                           : ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || to_out < 0 || to_err < 0 || ::dup2(in, 0) < 0 || ::dup2(to_out, 1) < 0 ||
        ::dup2(to_err, 2) < 0 || ::chdir(folder.c_str()) != 0) {
      ::_exit(127);
    }
    // The program starts with the signals' own actions, as from a shell,
    // whatever this process ignores.
    std::signal(SIGPIPE, SIG_DFL);
    for (const auto& [name, value] : run.environment) ::setenv(name.c_str(), value.c_str(), 1);
    if (run.file_size_limit) {
      const rlimit limit{static_cast<rlim_t>(*run.file_size_limit),
                         static_cast<rlim_t>(*run.file_size_limit)};
      ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : run.arguments) {
      argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  int raw = 0;
  if (::waitpid(child, &raw, 0) != child) return -1;
  if (WIFSIGNALED(raw)) signal = WTERMSIG(raw);
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

#endif

}  // namespace

ProgramResult RunConsoleProgram(const std::filesystem::path& program, const ProgramRun& run,
                                const std::filesystem::path& folder) {
  ProgramResult result = RunProgram(program, run, folder);
#if defined(_WIN32)
  for (std::string* text : {&result.out, &result.err}) {
    for (std::size_t at = text->find("\r\n"); at != std::string::npos;
         at = text->find("\r\n", at)) {
      text->erase(at, 1);
    }
  }
#endif
  return result;
}

ProgramResult RunProgram(const std::filesystem::path& program, const ProgramRun& run,
                         const std::filesystem::path& folder) {
  TempDir outputs;
  const std::filesystem::path out = outputs.path() / "stdout";
  const std::filesystem::path err = outputs.path() / "stderr";
  ProgramResult result;
  result.status = Start(program, run, folder, out, err, result.signal);
  result.out = ReadBytes(out);
  if (Exists(err)) result.err = ReadBytes(err);
  return result;
}

}  // namespace veltrana::test
