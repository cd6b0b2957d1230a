#pragma once

#include <optional>
#include <string>

#include "cli/Console.h"
#include "model/DrawingFile.h"

namespace runebin::cli {

// Loads `path` into `drawing` (which writes no entity listing file: the entities command prints
// the listing instead). On a refusal tells the user why, with the window program's words, and
// returns false.
bool LoadDrawing(const Console& console, DrawingFile& drawing, const std::string& path);

// Ends a changing command: writes the drawing to `output` when one was given (always), otherwise
// back to `path` when something changed, through the safe replacement. A file that nothing
// changed is not touched. On a failed write tells the user and returns false; the file on disk is
// then as it was.
bool WriteBack(const Console& console, DrawingFile& drawing, const std::string& path,
               const std::optional<std::string>& output);

// The message for a NAME that the file does not define.
std::string NoSuchSymbol(const std::string& name, const std::string& path);

}  // namespace runebin::cli
