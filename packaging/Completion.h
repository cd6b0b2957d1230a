#pragma once

#include <string>

#include "packaging/HelpText.h"

namespace runebin::packaging {

// A bash completion script for `program`, from its help: the commands as the first word, then
// for each command its options, the values of those options, and its arguments by position
// (drawings, metafiles, folders, the symbol names of the FILE already typed).
std::string BashCompletion(const std::string& program, const HelpText& help);

// `text` in single quotes for a shell, as one word.
std::string ShellQuoted(const std::string& text);

}  // namespace runebin::packaging
