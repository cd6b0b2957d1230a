// runebin-cli: the symbol operations of the window program, from the command line, for batch
// work on whole folders of drawings and catalogs.

#include <cstdio>
#include <string>
#include <vector>

#include "cli/Run.h"

int main(int argc, char** argv) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) {
    arguments.emplace_back(argv[i]);
  }
  const int status = runebin::cli::Run(arguments, stdout, stderr);
  // A failed write to stdout (a full disk, a closed pipe) must not pass for success.
  if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
    return status == 0 ? 1 : status;
  }
  return status;
}
