#pragma once

#include <cstdio>
#include <optional>

namespace runebin::gui {

// The window program takes no files or settings on its command line; it answers -h/--help and
// -V/--version (before any window or display is needed) and leaves every other argument to Qt.
// Returns the exit code when the program has answered and should end, nothing when the window
// is to open.
std::optional<int> AnswerCommandLine(int argc, const char* const* argv, std::FILE* out);

}  // namespace runebin::gui
