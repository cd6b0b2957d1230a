#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/CommandTable.h"
#include "symbols/Document.h"

namespace runebin::cli {

// Bounds of render's --size.
inline constexpr int kDefaultPictureSize = 256;
inline constexpr int kLargestPictureSize = 65536;

// One command to run, with everything the command line said about it.
struct Invocation {
  Command command = Command::List;
  // FILE... for list, entities, sort and purge; FILE for rename, delete and import; FROM and TO
  // for copy.
  std::vector<std::string> files;
  // Names as the file stores them (Windows-1252), converted from the UTF-8 arguments.
  // "#N" as a NAME or OLD to find selects the definition at list index N (see FindSelected).
  std::string name;                    // OLD for rename; NAME for delete, move, render and uses
  std::string newName;                 // NEW for rename
  std::vector<std::string> names;      // copy: NAME...; import: the name for each WMF
  std::vector<std::string> metafiles;  // WMF... for import
  std::optional<std::string> output;
  bool references = false;    // delete: also the references
  bool replace = false;       // copy, import: replace a symbol of the same name
  bool skipExisting = false;  // import: leave out a metafile whose name FILE has
  bool allowEmpty = false;    // import: also a metafile of which nothing converts
  float maxSize = kDefaultMaxSize;
  int size = kDefaultPictureSize;  // render: pixels of the larger side
  std::optional<int> to;           // move: the list index to move to
  bool all = false;                // render: every symbol, into the folder --output names
  bool json = false;               // check, diff: --format json
  bool withDependencies = false;   // copy: also the symbols the copied one places
  bool force = false;              // rename onto a taken name; purge of every symbol
  bool dryRun = false;             // the changing commands: tell, write nothing
  bool quiet = false;              // no report lines
};

// What the command line asks for.
struct ParsedCommandLine {
  enum class Kind { Run, Help, Version, UsageError };
  Kind kind = Kind::UsageError;
  Invocation invocation;
  // Help: the command whose help was asked for, or none for the overview.
  // UsageError: the command the mistake belongs to, if one was recognised.
  std::optional<Command> command;
  std::string problem;  // UsageError: what is wrong, one line
};

// Reads the arguments after the program's name. Options may stand anywhere after the command;
// "--" ends them, so that a name or path beginning with "--" can be given. Option values come as
// the next argument or after "=" ("--output=PATH"). A later option replaces an earlier one.
ParsedCommandLine ParseCommandLine(std::span<const std::string> arguments);

// Reads a --max-size value: a plain decimal number (no blanks, no "inf" or "nan"). Returns
// nothing for any other text.
std::optional<double> ParseNumber(std::string_view text);

// The file name of `path` with its extension and without its folder.
std::string FileNameOf(std::string_view path);

// For a NAME "#N": N, or -1 when N is too large to be any list index. Nothing for other names.
std::optional<int> ListIndexOf(std::string_view name);

}  // namespace runebin::cli
