// import: a Windows Metafile becomes a new symbol definition at the end of the file, through the
// same import as the window program's Import button.

#include <memory>

#include "cli/Commands.h"
#include "cli/Documents.h"
#include "metafile/ImportMetafile.h"
#include "symbols/Messages.h"

namespace runebin::cli {

bool ImportIntoFile(const Console& console, const Invocation& invocation) {
  const std::string& path = invocation.files.front();
  DrawingFile drawing("");
  if (!LoadDrawing(console, drawing, path)) {
    return false;
  }
  std::unique_ptr<SymbolDef> symbol;
  const int result =
      ImportMetafile(invocation.metafile, invocation.name, invocation.maxSize, symbol);
  if (result != ImportSucceeded) {
    console.Fail(messages::ImportFailure(result, invocation.metafile));
    return false;
  }
  if (!symbol) {
    console.Fail(messages::kImportReturnedNothing);
    return false;
  }
  // A new definition: nothing in the file places it yet, so its use count stays 0. Its name is
  // not compared with the names already there; an import may add a second one.
  drawing.symbolDefs.Add(std::move(symbol));
  drawing.SetModified(true);
  return WriteBack(console, drawing, path, invocation.output);
}

}  // namespace runebin::cli
