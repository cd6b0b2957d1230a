// import: a Windows Metafile becomes a new symbol definition at the end of the file, through the
// same import as the window program's Import button.

#include "cli/Commands.h"
#include "cli/Documents.h"
#include "symbols/Messages.h"

namespace runebin::cli {

bool ImportIntoFile(const Console& console, const Invocation& invocation) {
  Document document("");
  if (!OpenDocument(console, document, invocation.files.front(), Document::Lock::UntilWritten)) {
    return false;
  }
  // A metafile from which nothing converts would add an empty 0 x 0 symbol: refused unless asked.
  const ImportResult result = document.ImportSymbol(invocation.metafile, invocation.name,
                                                    invocation.maxSize, invocation.allowEmpty);
  if (result != ImportResult::Succeeded) {
    std::string message = messages::ImportFailure(result, invocation.metafile);
    if (result == ImportResult::NothingConverts) {
      message += "\nUse --allow-empty to import it anyway.";
    }
    console.Fail(message);
    return false;
  }
  if (invocation.dryRun) {
    TellDryRun(console, document.Path());
    return true;
  }
  return WriteBack(console, document, invocation.output);
}

}  // namespace runebin::cli
