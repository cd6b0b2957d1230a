#pragma once

#include <cstdio>
#include <span>
#include <string>

namespace runebin::cli {

// The whole program: reads the arguments after the program's name, runs what they ask for and
// returns the exit status (kExitSuccess, kExitFailure or kExitUsage). Writes results and reports
// to `out`, failures and usage mistakes to `err`.
int Run(std::span<const std::string> arguments, std::FILE* out, std::FILE* err);

}  // namespace runebin::cli
