#pragma once

#include <functional>

namespace runebin::testing {

// Runs parts of a test in a forked child process: to act as another user, to be ended by a
// signal, or to measure its memory on its own.

// Exit codes a child test body uses.
inline constexpr int kChildPassed = 0;
inline constexpr int kChildFailed = 1;
inline constexpr int kChildSkipped = 77;  // the system does not allow what the test needs

// Runs `body` in a child and waits for it. Returns kChildFailed when a gtest expectation failed
// in the child, else the code `body` returns, or 128 + the signal that ended the child.
int RunInChild(const std::function<int()>& body);

}  // namespace runebin::testing
