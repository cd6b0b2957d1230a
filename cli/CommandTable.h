#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace runebin::cli {

enum class Command {
  List,
  Entities,
  Sort,
  Rename,
  Delete,
  Purge,
  Copy,
  Import,
  Render,
  Check,
  Uses,
  Diff,
  New,
  Move,
};

// Options, as bits, so that each command can say which it takes.
enum Option : unsigned {
  kOptOutput = 1U << 0,            // --output PATH
  kOptReferences = 1U << 1,        // --references
  kOptReplace = 1U << 2,           // --replace
  kOptName = 1U << 3,              // --name NAME
  kOptMaxSize = 1U << 4,           // --max-size SIZE
  kOptSize = 1U << 5,              // --size PX
  kOptAll = 1U << 6,               // --all
  kOptFormat = 1U << 7,            // --format text|json
  kOptWithDependencies = 1U << 8,  // --with-dependencies
  kOptAllowEmpty = 1U << 9,        // --allow-empty
  kOptForce = 1U << 10,            // --force
  kOptDryRun = 1U << 11,           // --dry-run
  kOptQuiet = 1U << 12,            // -q, --quiet: every command takes it
  kOptTo = 1U << 13,               // --to N
  kOptSkipExisting = 1U << 14,     // --skip-existing
};

// What the command line of one command looks like, and what its help says.
struct CommandInfo {
  Command command;
  std::string_view name;
  std::string_view synopsis;  // the arguments after the command's name
  std::string_view summary;   // one line for the overview
  std::string_view details;   // the command's own help, several lines
  int minArguments;
  int maxArguments;  // kAnyNumber for FILE...
  unsigned options;
  // The commands that take several FILEs run once per file.
  bool manyFiles;
};

inline constexpr int kAnyNumber = -1;

// Every command, in the order the help lists them.
std::span<const CommandInfo> AllCommands();
const CommandInfo* FindCommand(std::string_view name);
const CommandInfo& InfoFor(Command command);

}  // namespace runebin::cli
