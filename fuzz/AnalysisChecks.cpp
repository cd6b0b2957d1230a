#include "fuzz/AnalysisChecks.h"

#include "fuzz/DrawingChecks.h"
#include "render/SvgWriter.h"
#include "symbols/Analysis.h"
#include "symbols/SymbolCommands.h"

namespace runebin::fuzz {
namespace {

bool Inside(const Bounds& bounds, float x, float y) {
  return x >= bounds.minX && x <= bounds.maxX && y >= bounds.minY && y <= bounds.maxY;
}

}  // namespace

void CheckPicturesAndAnalysis(const DrawingFile& drawing, bool svg) {
  const RenderLimits limits;
  for (int i = 0; i < drawing.SymbolDefs().GetSize(); ++i) {
    const DisplayList list = BuildDisplayList(drawing.SymbolDefs().GetAt(i), limits);
    FUZZ_CHECK(list.vertices.size() <= limits.maxVertices);
    FUZZ_CHECK(list.shapes.empty() == list.bounds.empty);
    for (const Shape& shape : list.shapes) {
      FUZZ_CHECK(shape.firstVertex + std::size_t{shape.vertexCount} <= list.vertices.size());
      if (shape.kind == ShapeKind::Ellipse) {
        FUZZ_CHECK(shape.radiusX >= 0 && shape.radiusY >= 0);
        FUZZ_CHECK(Inside(list.bounds, shape.centre.x, shape.centre.y));
      }
      for (std::uint32_t v = 0; v < shape.vertexCount; ++v) {
        const Point& p = list.vertices[shape.firstVertex + v];
        FUZZ_CHECK(Inside(list.bounds, p.x, p.y));
      }
    }
    if (svg) {
      FUZZ_CHECK(WriteSvg(list, {.size = 64, .title = NameOf(drawing.SymbolDefs().GetAt(i))})
                     .ends_with("</svg>\n"));
    }
    FindUses(drawing, NameOf(drawing.SymbolDefs().GetAt(i)));
    for (const int dependency : Dependencies(drawing, i)) {
      FUZZ_CHECK(dependency != i && dependency < drawing.SymbolDefs().GetSize());
    }
  }
  for (const Finding& finding : CheckDrawing(drawing)) {
    FUZZ_CHECK(!DescribeFinding(finding).empty());
  }
  const SymbolDiff same = DiffSymbols(drawing, drawing);
  FUZZ_CHECK(same.SameSymbols() && !same.orderDiffers);
}

}  // namespace runebin::fuzz
