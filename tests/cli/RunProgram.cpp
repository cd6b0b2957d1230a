#include "tests/cli/CliTest.h"

#ifdef _WIN32
#include <windows.h>

#include <cstdio>

#include "platform/FileNames.h"
#else
#include <sys/wait.h>

#include <cstdlib>
#endif

namespace runebin::testing {

#ifdef _WIN32

namespace {

// Quotes one argument so that CommandLineToArgvW gives it back unchanged: backslashes double only
// where they precede a quote.
std::wstring Quoted(const std::wstring& argument) {
  std::wstring result = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    result.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    backslashes = 0;
    result += c;
  }
  result.append(2 * backslashes, L'\\');
  return result + L"\"";
}

HANDLE Inheritable(const std::string& path, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES security{sizeof security, nullptr, TRUE};
  return ::CreateFileW(platform::Widen(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       &security, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

int RunProgram(const std::string& program, const std::vector<std::string>& arguments,
               const std::string& outPath, const std::string& errPath) {
  std::wstring commandLine = Quoted(platform::Widen(program));
  for (const std::string& argument : arguments) {
    commandLine += L" " + Quoted(platform::Widen(argument));
  }
  PROCESS_INFORMATION process{};
  // Under Wine a start can fail now and then while the machine is busy (nothing has run then, so
  // trying again is safe); a start that keeps failing is reported.
  bool started = false;
  DWORD startError = 0;
  for (int attempt = 0; attempt < 5 && !started; ++attempt) {
    if (attempt > 0) {
      ::Sleep(200);
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = Inheritable("NUL", GENERIC_READ, OPEN_EXISTING);
    startup.hStdOutput = Inheritable(outPath, GENERIC_WRITE, CREATE_ALWAYS);
    startup.hStdError = Inheritable(errPath, GENERIC_WRITE, CREATE_ALWAYS);
    const bool handles = startup.hStdInput != INVALID_HANDLE_VALUE &&
                         startup.hStdOutput != INVALID_HANDLE_VALUE &&
                         startup.hStdError != INVALID_HANDLE_VALUE;
    started = handles && ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0,
                                          nullptr, nullptr, &startup, &process);
    startError = ::GetLastError();
    for (HANDLE handle : {startup.hStdInput, startup.hStdOutput, startup.hStdError}) {
      if (handle != INVALID_HANDLE_VALUE) {
        ::CloseHandle(handle);
      }
    }
  }
  if (!started) {
    std::fprintf(stderr, "could not start %s: error %lu\n", program.c_str(), startError);
    return -1;
  }
  DWORD status = 0;
  ::WaitForSingleObject(process.hProcess, INFINITE);
  const bool exited = ::GetExitCodeProcess(process.hProcess, &status);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return exited ? static_cast<int>(status) : -1;
}

#else

int RunProgram(const std::string& program, const std::vector<std::string>& arguments,
               const std::string& outPath, const std::string& errPath) {
  const auto quoted = [](const std::string& text) {
    std::string result = "'";
    for (const char c : text) {
      result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return result + "'";
  };
  std::string command = quoted(program);
  for (const std::string& argument : arguments) {
    command += " " + quoted(argument);
  }
  const int status =
      std::system((command + " </dev/null >" + quoted(outPath) + " 2>" + quoted(errPath)).c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

#endif

}  // namespace runebin::testing
