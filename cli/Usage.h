#pragma once

#include <cstdio>
#include <optional>
#include <string_view>

#include "cli/CommandTable.h"

namespace runebin::cli {

inline constexpr std::string_view kProgramName = "runebin-cli";

// The overview printed by --help: every command with its arguments, the common rules.
void PrintOverview(std::FILE* out);
// The help of one command (COMMAND --help).
void PrintCommandHelp(std::FILE* out, Command command);
// "runebin-cli VERSION".
void PrintVersion(std::FILE* out);
// A usage mistake: the problem, then one line with the usage of `command` (or of the program
// when no command was recognised).
void PrintUsageError(std::FILE* err, std::optional<Command> command, std::string_view problem);

}  // namespace runebin::cli
