#include "tests/hardening/ChildProcess.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

namespace runebin::testing {
namespace {

long PeakRssKb() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

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

Measured MeasureInChild(const std::function<int()>& work) {
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) {
    return {};
  }
  Measured measured;
  measured.exitCode = RunInChild([&] {
    ::close(pipeFds[0]);
    const long startKb = PeakRssKb();
    const auto start = std::chrono::steady_clock::now();
    const int code = work();
    Measured result;
    result.exitCode = code;
    result.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    result.peakGrowthKb = PeakRssKb() - startKb;
    [[maybe_unused]] const auto written = ::write(pipeFds[1], &result, sizeof result);
    return code;
  });
  ::close(pipeFds[1]);
  Measured fromChild;
  if (::read(pipeFds[0], &fromChild, sizeof fromChild) == sizeof fromChild) {
    measured.seconds = fromChild.seconds;
    measured.peakGrowthKb = fromChild.peakGrowthKb;
  }
  ::close(pipeFds[0]);
  return measured;
}

}  // namespace runebin::testing
