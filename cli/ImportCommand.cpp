// import: Windows Metafiles become new symbol definitions at the end of the file, through the same
// import as the window program's Import button, all written at once.

#include <unistd.h>

#include "cli/Commands.h"
#include "cli/Documents.h"
#include "platform/RegularFile.h"
#include "symbols/Messages.h"

namespace runebin::cli {
namespace {

bool IsEmptyFile(const std::string& path) {
  const int fd = platform::OpenRegularFile(path);  // never waits on a pipe
  char byte = 0;
  const bool empty = fd >= 0 && ::read(fd, &byte, 1) == 0;
  if (fd >= 0) {
    ::close(fd);
  }
  return empty;
}

// Why a metafile could not be read, after the message: the system's reason where there is one.
std::string ImportFailureWithReason(ImportResult result, const std::string& metafile) {
  std::string message = messages::ImportFailure(result, metafile);
  if (result == ImportResult::OpenFailed) {
    message += ": " + WhyNotReadable(metafile, "cannot be opened");
  } else if (result == ImportResult::ReadFailed && IsEmptyFile(metafile)) {
    message += ": the file is empty";
  } else if (result == ImportResult::NothingConverts) {
    message += "\nUse --allow-empty to import it anyway.";
  }
  return message;
}

}  // namespace

bool ImportIntoFile(const Console& console, const Invocation& invocation) {
  Document document("");
  const std::string& path = invocation.files.front();
  // The new symbols are written into the new file while they are made.
  if (!invocation.dryRun) {
    document.WriteAheadTo(invocation.output ? *invocation.output : path,
                          Document::EarlyWrite::PlaceImports);
  }
  if (!OpenDocument(console, document, path, Document::Lock::UntilWritten)) {
    return false;
  }
  for (std::size_t i = 0; i < invocation.metafiles.size(); ++i) {
    const std::string& metafile = invocation.metafiles[i];
    const std::string& name = invocation.names[i];
    // A second definition of a name would take over the references of the first: asked for. Its
    // name may also come from an earlier metafile of this run.
    std::optional<int> replacing;
    if (const int existing = document.Drawing().SymbolDefs().FindByName(name); existing >= 0) {
      if (invocation.skipExisting) {
        console.Fail("Skipped " + messages::Quoted(metafile) + ": " + messages::Quoted(path) +
                     " already has a symbol named " + messages::Quoted(Shown(name)));
        continue;
      }
      if (!invocation.replace) {
        console.Fail(messages::AlreadyNamed(Shown(name), path) +
                     "\nUse --replace to replace it, or --skip-existing to keep it.");
        return false;
      }
      replacing = existing;
    }
    // A metafile from which nothing converts would add an empty 0 x 0 symbol: refused unless asked.
    const ImportResult result =
        document.ImportSymbol(metafile, name, invocation.maxSize, invocation.allowEmpty, replacing);
    if (result != ImportResult::Succeeded) {
      console.Fail(ImportFailureWithReason(result, metafile));
      return false;
    }
  }
  if (invocation.dryRun) {
    TellDryRun(console, document, invocation.output);
    return true;
  }
  return WriteBack(console, document, invocation.output);
}

}  // namespace runebin::cli
