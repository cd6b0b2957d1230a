#pragma once

#include <functional>

namespace runebin::testing {

// Runs parts of a test in a forked child process: to change what only a whole process can change
// (its mount namespace), to play another program, or to measure memory on its own.

// Exit codes a child test body uses.
inline constexpr int kChildPassed = 0;
inline constexpr int kChildFailed = 1;
inline constexpr int kChildSkipped = 77;  // the system does not allow what the test needs

// Runs `body` in a child and waits for it. The child exits kChildFailed when a gtest expectation
// failed in it (the failure is printed there), or with the code `body` returns. Returns the exit
// code, or 128 + the signal that ended the child.
int RunInChild(const std::function<int()>& body);

// What a child measured of itself while it ran `work`.
struct Measured {
  int exitCode = -1;
  double seconds = 0;     // wall-clock time of `work`
  long peakGrowthKb = 0;  // peak resident memory above what the child started with
};
Measured MeasureInChild(const std::function<int()>& work);

// Another process that holds an exclusive flock on a file until this object goes away.
class LockHolder {
 public:
  explicit LockHolder(const char* path);
  ~LockHolder();
  LockHolder(const LockHolder&) = delete;
  LockHolder& operator=(const LockHolder&) = delete;
  // Whether the other process took the lock.
  bool Holding() const { return holding_; }

 private:
  int pid_ = -1;
  int release_ = -1;  // closing this pipe end tells the holder to let go
  bool holding_ = false;
};

}  // namespace runebin::testing
