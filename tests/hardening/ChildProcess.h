#pragma once

#include <functional>

namespace runebin::testing {

// Runs parts of a test in a forked child process: to act as another user, to be ended by a
// signal, or to measure memory on its own.

// Exit codes a child test body uses.
inline constexpr int kChildPassed = 0;
inline constexpr int kChildFailed = 1;
inline constexpr int kChildSkipped = 77;  // the system does not allow what the test needs

// Runs `body` in a child and waits for it. Returns kChildFailed when a gtest expectation failed
// in the child, else the code `body` returns, or 128 + the signal that ended the child.
int RunInChild(const std::function<int()>& body);

// What a child measured of itself while it ran `work`. The child exits kChildFailed when a gtest
// expectation failed in it (the failure is printed there), or with the code `work` returns;
// exitCode is that code, or 128 + the signal that ended the child.
struct Measured {
  int exitCode = -1;
  double seconds = 0;     // wall-clock time of `work`
  long peakGrowthKb = 0;  // peak resident memory above what the child started with
};
Measured MeasureInChild(const std::function<int()>& work);

}  // namespace runebin::testing
