#include "cli/Run.h"

#include <exception>
#include <new>
#include <stdexcept>

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Usage.h"
#include "symbols/Messages.h"

namespace runebin::cli {
namespace {

// Runs `command` for each FILE in order. With more than one FILE, each one's output follows a
// heading line, so that the results can be told apart.
template <typename PerFile>
int ForEachFile(const Invocation& invocation, const Console& console, PerFile command) {
  const bool headings = invocation.files.size() > 1;
  int status = kExitSuccess;
  for (const std::string& path : invocation.files) {
    if (headings) {
      console.Report("==> " + path + " <==");
    }
    if (!command(path)) {
      status = kExitFailure;
    }
  }
  return status;
}

int StatusOf(bool succeeded) {
  return succeeded ? kExitSuccess : kExitFailure;
}

}  // namespace

int RunInvocation(const Invocation& invocation, const Console& console) {
  switch (invocation.command) {
    case Command::List:
      if (invocation.json) {
        return ListSymbolsJson(console, invocation);
      }
      return ForEachFile(invocation, console,
                         [&](const std::string& path) { return ListSymbols(console, path); });
    case Command::Entities:
      return ForEachFile(invocation, console,
                         [&](const std::string& path) { return ListEntities(console, path); });
    case Command::Sort:
      return ForEachFile(invocation, console, [&](const std::string& path) {
        return SortFile(console, path, invocation);
      });
    case Command::Purge:
      return ForEachFile(invocation, console, [&](const std::string& path) {
        return PurgeFile(console, path, invocation);
      });
    case Command::Rename:
      return StatusOf(RenameInFile(console, invocation));
    case Command::Delete:
      return StatusOf(DeleteFromFile(console, invocation));
    case Command::Move:
      return MoveInFile(console, invocation);
    case Command::Copy:
      return StatusOf(CopyBetweenFiles(console, invocation));
    case Command::Import:
      return StatusOf(ImportIntoFile(console, invocation));
    case Command::Render:
      return RenderSymbols(console, invocation);
    case Command::Check:
      return CheckFiles(console, invocation);
    case Command::Uses:
      return ReportUses(console, invocation);
    case Command::Diff:
      return DiffFiles(console, invocation);
    case Command::New: {
      bool succeeded = true;
      for (const std::string& path : invocation.files) {
        succeeded = NewFile(console, path, invocation.dryRun) && succeeded;
      }
      return StatusOf(succeeded);
    }
  }
  return kExitFailure;
}

int Run(std::span<const std::string> arguments, std::FILE* out, std::FILE* err) {
  const ParsedCommandLine parsed = ParseCommandLine(arguments);
  switch (parsed.kind) {
    case ParsedCommandLine::Kind::Help:
      if (parsed.command) {
        PrintCommandHelp(out, *parsed.command);
      } else {
        PrintOverview(out);
      }
      return kExitSuccess;
    case ParsedCommandLine::Kind::Version:
      PrintVersion(out);
      return kExitSuccess;
    case ParsedCommandLine::Kind::UsageError:
      PrintUsageError(err, parsed.command, parsed.problem);
      return kExitUsage;
    case ParsedCommandLine::Kind::Run:
      break;
  }
  const Console console{out, err, parsed.invocation.quiet};
  try {
    return RunInvocation(parsed.invocation, console);
  } catch (const std::bad_alloc&) {
    console.Fail("out of memory");
  } catch (const std::invalid_argument&) {
    console.Fail(messages::kInvalidArgument);
  } catch (const std::exception& error) {
    console.Fail(error.what());
  }
  return kExitFailure;
}

}  // namespace runebin::cli
