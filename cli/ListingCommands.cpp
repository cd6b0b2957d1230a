// list and entities: they only read the file.

#include "cli/Commands.h"
#include "cli/Documents.h"
#include "model/EntityListing.h"
#include "symbols/Messages.h"
#include "symbols/SymbolCommands.h"

namespace runebin::cli {

// INDEX<TAB>NAME<TAB>USECOUNT<TAB>WIDTH<TAB>HEIGHT per definition. The width and height are
// taken of the stored floats, as the window's details show them.
bool ListSymbols(const Console& console, const std::string& path) {
  Document document("");
  if (!OpenDocument(console, document, path, false)) {
    return false;
  }
  const EntityList& definitions = document.Drawing().SymbolDefs();
  std::string text;
  for (int i = 0; i < definitions.GetSize(); ++i) {
    const Entity& definition = definitions.GetAt(i);
    const SymbolSize size = MeasureSymbol(definition);
    text += std::to_string(i);
    text += '\t';
    text += NameOf(definition);
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

bool ListEntities(const Console& console, const std::string& path) {
  Document document("");
  if (!OpenDocument(console, document, path, false)) {
    return false;
  }
  WriteEntityListing(console.out, document.Drawing().LoadedListing());
  return true;
}

}  // namespace runebin::cli
