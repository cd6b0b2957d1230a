#pragma once

#include <string>
#include <vector>

namespace runebin::testing {

// Runs `program` with `arguments` (UTF-8) on an empty stdin, its stdout and stderr going to the
// files `outPath` and `errPath`, and waits for it. Returns its exit status, or -1 when it did not
// exit normally (or could not be started).
int RunProgram(const std::string& program, const std::vector<std::string>& arguments,
               const std::string& outPath, const std::string& errPath);

}  // namespace runebin::testing
