#pragma once

#include <functional>

namespace runebin::testing {

// Runs a workload in a forked child process, to measure its memory on its own.

// Exit codes a child test body uses.
inline constexpr int kChildPassed = 0;
inline constexpr int kChildFailed = 1;

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
