// runebin-cli: the symbol operations of the window program, from the command line, for batch
// work on whole folders of drawings and catalogs.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/Run.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "platform/FileNames.h"

namespace {

// The arguments as the user typed them: Windows hands a program its command line in UTF-16, and
// the ANSI argv of main would lose every character outside the code page. They become UTF-8, as
// every path and name inside the program is.
std::vector<std::string> Arguments(int, char**) {
  std::vector<std::string> arguments;
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  for (int i = 1; wide != nullptr && i < count; ++i) {
    arguments.push_back(runebin::platform::Narrow(wide[i]));
  }
  ::LocalFree(wide);
  return arguments;
}

// Output is UTF-8 with plain line feeds, byte for byte what the program writes elsewhere, so
// that files and pipes get the same bytes on every system; a console is told to show UTF-8.
void PrepareOutput() {
  ::_setmode(::_fileno(stdout), _O_BINARY);
  ::_setmode(::_fileno(stderr), _O_BINARY);
  ::SetConsoleOutputCP(CP_UTF8);
}

}  // namespace
#else
namespace {

std::vector<std::string> Arguments(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

void PrepareOutput() {}

}  // namespace
#endif

int main(int argc, char** argv) {
  PrepareOutput();
  const int status = runebin::cli::Run(Arguments(argc, argv), stdout, stderr);
  // A failed write to stdout (a full disk, a closed pipe) must not pass for success.
  errno = 0;
  if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
    const int error = errno;
    std::fprintf(stderr, "runebin-cli: Can't write the output%s%s\n", error != 0 ? ": " : "",
                 error != 0 ? std::strerror(error) : "");
    return status == 0 ? 1 : status;
  }
  return status;
}
