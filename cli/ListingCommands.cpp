// list and entities: they only read the file.

#include "cli/Commands.h"
#include "cli/Documents.h"
#include "model/EntityListing.h"
#include "model/NamedEntity.h"
#include "symbols/Messages.h"

namespace runebin::cli {

// INDEX<TAB>NAME<TAB>USECOUNT<TAB>WIDTH<TAB>HEIGHT per definition. The width and height are
// taken of the stored floats, as the window's details show them.
bool ListSymbols(const Console& console, const std::string& path) {
  DrawingFile drawing("");
  if (!LoadDrawing(console, drawing, path)) {
    return false;
  }
  std::string text;
  for (int i = 0; i < drawing.symbolDefs.GetSize(); ++i) {
    const Entity& definition = drawing.symbolDefs.GetAt(i);
    const NamedEntity* named = definition.AsNamed();
    float lowX = 0;
    float lowY = 0;
    float highX = 0;
    float highY = 0;
    definition.GetExtents(lowX, lowY, highX, highY);
    const float width = highX - lowX;
    const float height = highY - lowY;
    text += std::to_string(i);
    text += '\t';
    text += named != nullptr ? named->GetName() : std::string();
    text += '\t';
    text += std::to_string(definition.useCount);
    text += '\t';
    text += messages::Dimension(width);
    text += '\t';
    text += messages::Dimension(height);
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
  DrawingFile drawing("");
  if (!LoadDrawing(console, drawing, path)) {
    return false;
  }
  WriteEntityListing(console.out, drawing.LoadedListing());
  return true;
}

}  // namespace runebin::cli
