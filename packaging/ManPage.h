#pragma once

#include <string>
#include <vector>

#include "packaging/HelpText.h"

namespace runebin::packaging {

struct ManPageInfo {
  std::string program;  // "runebin-cli"
  std::string summary;  // the NAME line after the dash
  std::string source;   // "Runebin 1.0.0"
  std::vector<std::string> seeAlso;
  std::string allHelp;  // every help text read, for the file kinds they mention
};

// The manual page, in the man macros, of a program with `help`: NAME, SYNOPSIS (the usage
// forms, then each command's), DESCRIPTION, COMMANDS, OPTIONS, EXIT STATUS, FILES, SEE ALSO.
// Options that a synopsis shows but no options section explains are listed with the commands
// that take them.
std::string ManPage(const ManPageInfo& info, const HelpText& help);

}  // namespace runebin::packaging
