#include "app/Preview.h"

#include <cmath>

#include "app/MainDialog.h"
#include "resources/ControlIds.h"
#include "symbols/SymbolCommands.h"

namespace runebin {
namespace {

std::string Counted(std::size_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

// A closed black outline of the stored extents, when they are finite and not a single point.
void OutlineExtents(const Entity& definition, DisplayList& list) {
  float lowX = 0, lowY = 0, highX = 0, highY = 0;
  definition.GetExtents(lowX, lowY, highX, highY);
  for (const float value : {lowX, lowY, highX, highY}) {
    if (!std::isfinite(value)) {
      return;
    }
  }
  if (lowX == highX && lowY == highY) {
    return;
  }
  list.vertices = {{lowX, lowY}, {highX, lowY}, {highX, highY}, {lowX, highY}};
  for (const Point& p : list.vertices) {
    list.bounds.Include(p.x, p.y);
  }
  Shape outline;
  outline.closed = true;
  outline.vertexCount = 4;
  list.shapes.push_back(outline);  // colour index 0 is black
}

}  // namespace

PreviewPicture MakePreview(const Entity& definition) {
  auto list = std::make_shared<DisplayList>(BuildDisplayList(definition));
  const std::size_t notDrawn = list->notDrawn + list->nestedReferences;
  std::string text = "Preview of symbol \"" + NameOf(definition) + "\": ";
  if (list->shapes.empty()) {
    OutlineExtents(definition, *list);
    text += list->shapes.empty() ? "nothing drawable" : "nothing drawable, its extents outlined";
  } else {
    text += Counted(list->shapes.size(), "shape", "shapes") + " drawn";
  }
  text += ", " + Counted(notDrawn, "record", "records") + " not drawn";
  if (list->truncated) {
    text += "; too large to draw whole, only its first " +
            Counted(list->vertices.size(), "point", "points") + " are drawn";
  }
  return {std::move(list), std::move(text)};
}

void MainDialog::ShowPreview(const Entity* definition) {
  if (definition == nullptr) {
    toolkit_.SetPicture(ids::kPreview, nullptr, kNoPreview);
    return;
  }
  PreviewPicture preview = MakePreview(*definition);
  toolkit_.SetPicture(ids::kPreview, std::move(preview.list), preview.description);
}

}  // namespace runebin
