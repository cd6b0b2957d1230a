#pragma once

#include <string>

#include "cli/Arguments.h"
#include "cli/Console.h"

namespace runebin::cli {

// Runs a parsed command and returns the exit status (kExitSuccess or kExitFailure). Commands
// that take several FILEs run once per file, in order; each failure is told on stderr and the
// other files still run.
int RunInvocation(const Invocation& invocation, const Console& console);

// The commands for one file each. They return true on success; on failure they have told the
// user on stderr. The changing ones write back as WriteBack describes.
bool ListSymbols(const Console& console, const std::string& path);
// list --format json: one array for all FILEs; returns the exit status.
int ListSymbolsJson(const Console& console, const Invocation& invocation);
bool ListEntities(const Console& console, const std::string& path);
bool SortFile(const Console& console, const std::string& path, const Invocation& invocation);
bool PurgeFile(const Console& console, const std::string& path, const Invocation& invocation);
bool RenameInFile(const Console& console, const Invocation& invocation);
bool DeleteFromFile(const Console& console, const Invocation& invocation);
// Returns the exit status: a place beyond the file's list is a usage error.
int MoveInFile(const Console& console, const Invocation& invocation);
bool CopyBetweenFiles(const Console& console, const Invocation& invocation);
bool ImportIntoFile(const Console& console, const Invocation& invocation);
bool NewFile(const Console& console, const std::string& path, bool dryRun);

// The reading commands: they load and never write a drawing. Each returns its exit status.
int RenderSymbols(const Console& console, const Invocation& invocation);
int CheckFiles(const Console& console, const Invocation& invocation);
int ReportUses(const Console& console, const Invocation& invocation);
int DiffFiles(const Console& console, const Invocation& invocation);

}  // namespace runebin::cli
