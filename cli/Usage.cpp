#include "cli/Usage.h"

#include <string>

namespace runebin::cli {
namespace {

void Put(std::FILE* out, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), out);
}

constexpr std::string_view kCommonRules =
    "Options may stand anywhere after the command (-q also before it); \"--\" ends\n"
    "them. A value follows its option as the next argument, after \"=\" (--output=PATH)\n"
    "or, for -o, at once (-oPATH).\n"
    "Changing commands rewrite FILE (for copy: TO) in place, safely, and only when\n"
    "something changed. With --output PATH the result is always written to PATH and\n"
    "FILE is left alone.\n"
    "With --dry-run a changing command tells what it would do and writes nothing\n"
    "(purge, delete: the names, then \"N symbols would be deleted\").\n"
    "NAME, OLD: the last symbol definition of exactly that name; #N: the one at\n"
    "list index N.\n"
    "NEW, NAME: 1 to 31 characters, no control characters, not of the form #N.\n"
    "Names are typed and shown in UTF-8 and stored in Windows-1252; a character that\n"
    "Windows-1252 lacks is a usage error.\n"
    "Exit status: 0 success, 1 failure (reported on stderr), 2 usage error.\n";

// Every option, with the commands that take it where not all do. The manual page and the shell
// completion are generated from this section, so an option a synopsis shows belongs here too.
constexpr std::string_view kOptionsOverview =
    "Options:\n"
    "  -o, --output PATH    write the result to PATH and leave FILE alone\n"
    "  --dry-run            tell what would change and write nothing\n"
    "  --force              rename onto a name another symbol has; purge a file that\n"
    "                       places none of its symbols\n"
    "  --references         delete: also delete every reference to NAME\n"
    "  --replace            copy, import: put the new symbol in the place of the one\n"
    "                       of that name\n"
    "  --skip-existing      import: leave out a metafile whose name FILE already has\n"
    "  --with-dependencies  copy: bring along the symbols that NAME places\n"
    "  --to N               move: the list index (from 0) that NAME moves to\n"
    "  --name NAME          import: the new symbol's name (for a single WMF)\n"
    "  --max-size SIZE      import: the larger side of the new symbols (default 100)\n"
    "  --allow-empty        import: accept a metafile of which nothing converts\n"
    "  --size PX            render: the larger side of the picture (default 256)\n"
    "  --all                render: one picture per symbol, into FOLDER\n"
    "  --format json        print the result as JSON\n"
    "  -V, --version        show the version and exit (instead of a command)\n"
    "\n"
    "Options of every command:\n"
    "  -q, --quiet          leave out the report lines\n"
    "  -h, --help           show the command's help and exit\n"
    "  --                   end the options: what follows is an argument\n";

}  // namespace

void PrintOverview(std::FILE* out) {
  Put(out,
      "usage: runebin-cli COMMAND ARGUMENTS...\n"
      "       runebin-cli COMMAND -h|--help | -h|--help | -V|--version\n"
      "\n"
      "Works on the symbol definitions of drawing files, symbol catalogs and templates\n"
      "(version 6, not compressed).\n"
      "\n"
      "Commands:\n");
  for (const CommandInfo& info : AllCommands()) {
    std::string line = "  " + std::string(info.name) + " " + std::string(info.synopsis) + "\n";
    line += "      " + std::string(info.summary) + "\n";
    Put(out, line);
  }
  Put(out, "\n");
  Put(out, kOptionsOverview);
  Put(out, "\n");
  Put(out, kCommonRules);
}

void PrintCommandHelp(std::FILE* out, Command command) {
  const CommandInfo& info = InfoFor(command);
  Put(out,
      "usage: runebin-cli " + std::string(info.name) + " " + std::string(info.synopsis) + "\n\n");
  Put(out, info.details);
  if (info.manyFiles) {
    Put(out,
        "With several FILEs, each is handled in turn, its output after a line\n"
        "\"==> FILE <==\"; a failure with one file does not stop the others.\n");
  }
  Put(out, "\n");
  Put(out, kCommonRules);
}

void PrintVersion(std::FILE* out) {
  Put(out, std::string(kProgramName) + " " + RUNEBIN_VERSION + "\n");
}

void PrintUsageError(std::FILE* err, std::optional<Command> command, std::string_view problem) {
  std::string text = std::string(kProgramName) + ": " + std::string(problem) + "\n";
  if (command) {
    const CommandInfo& info = InfoFor(*command);
    text += "usage: runebin-cli " + std::string(info.name) + " " + std::string(info.synopsis) +
            " (runebin-cli " + std::string(info.name) + " --help for more)\n";
  } else {
    text += "usage: runebin-cli COMMAND ARGUMENTS... (runebin-cli --help lists the commands)\n";
  }
  Put(err, text);
}

}  // namespace runebin::cli
