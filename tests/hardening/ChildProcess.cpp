#include "tests/hardening/ChildProcess.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace runebin::testing {
namespace {

int WaitFor(int pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) {
      return -1;
    }
  }
  if (WIFSIGNALED(status)) {
    return 128 + WTERMSIG(status);
  }
  return WEXITSTATUS(status);
}

}  // namespace

int RunInChild(const std::function<int()>& body) {
  std::fflush(nullptr);
  const int pid = ::fork();
  if (pid == 0) {
    const int code = body();
    std::fflush(nullptr);
    ::_exit(::testing::Test::HasFailure() ? kChildFailed : code);
  }
  return pid < 0 ? -1 : WaitFor(pid);
}

}  // namespace runebin::testing
