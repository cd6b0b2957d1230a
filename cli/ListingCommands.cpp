// list and entities: they only read the file.

#include "cli/Commands.h"
#include "cli/Documents.h"
#include "cli/Json.h"
#include "model/EntityListing.h"
#include "symbols/Analysis.h"
#include "symbols/Messages.h"
#include "symbols/SymbolCommands.h"

namespace runebin::cli {

// INDEX<TAB>NAME<TAB>USECOUNT<TAB>WIDTH<TAB>HEIGHT per definition. The width and height are
// taken of the stored floats, as the window's details show them.
bool ListSymbols(const Console& console, const std::string& path) {
  Document document("");
  if (!OpenDocument(console, document, path, Document::Lock::UntilClosed,
                    DrawingFile::Scope::SymbolsOnly)) {
    return false;
  }
  const EntityList& definitions = document.Drawing().SymbolDefs();
  std::string text;
  for (int i = 0; i < definitions.GetSize(); ++i) {
    const Entity& definition = definitions.GetAt(i);
    const SymbolSize size = MeasureSymbol(definition);
    text += std::to_string(i);
    text += '\t';
    text += ListedName(NameOf(definition));
    text += '\t';
    text += std::to_string(definition.useCount);
    text += '\t';
    text += messages::Dimension(size.width);
    text += '\t';
    text += messages::Dimension(size.height);
    text += '\n';
    if (text.size() >= (1U << 16)) {
      console.Write(text);
      text.clear();
    }
  }
  console.Write(text);
  return true;
}

int ListSymbolsJson(const Console& console, const Invocation& invocation) {
  int status = kExitSuccess;
  std::string text = "[";
  for (const std::string& path : invocation.files) {
    Document document("");
    if (!OpenDocument(console, document, path, Document::Lock::UntilClosed,
                      DrawingFile::Scope::SymbolsOnly)) {
      status = kExitFailure;
      continue;
    }
    const EntityList& definitions = document.Drawing().SymbolDefs();
    const std::vector<int> nested = NestedUseCounts(document.Drawing());
    text +=
        (text.size() > 1 ? ",\n{\"file\":" : "\n{\"file\":") + JsonString(path) + ",\"symbols\":[";
    for (int i = 0; i < definitions.GetSize(); ++i) {
      const Entity& definition = definitions.GetAt(i);
      const SymbolSize size = MeasureSymbol(definition);
      text += (i > 0 ? ",\n {\"index\":" : "\n {\"index\":") + std::to_string(i) +
              ",\"name\":" + JsonString(Shown(NameOf(definition))) +
              ",\"uses\":" + std::to_string(definition.useCount) +
              ",\"nestedUses\":" + std::to_string(nested[static_cast<std::size_t>(i)]) +
              ",\"width\":" + JsonNumber(size.width) + ",\"height\":" + JsonNumber(size.height) +
              "}";
      if (text.size() >= (1U << 16)) {
        console.Write(text);
        text.clear();
      }
    }
    text += "]}";
  }
  console.Write(text + "\n]\n");
  return status;
}

bool ListEntities(const Console& console, const std::string& path) {
  Document document("");
  if (!OpenDocument(console, document, path, Document::Lock::UntilClosed)) {
    return false;
  }
  WriteEntityListing(console.out, document.Drawing().LoadedListing());
  return true;
}

}  // namespace runebin::cli
