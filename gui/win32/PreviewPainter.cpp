#include "gui/win32/PreviewPainter.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "render/Fit.h"

namespace runebin::win32 {

namespace {

// Pixel coordinates for GDI, which takes 32-bit integers: far-off points are pinned well outside
// any window, so that nothing overflows while the shape still runs the right way.
LONG ToPixel(double value) {
  if (std::isnan(value)) {
    return 0;
  }
  return static_cast<LONG>(std::lround(std::clamp(value, -1.0e6, 1.0e6)));
}

COLORREF ColourOf(const Shape& shape) {
  // The palette entry has red in its low byte, as a COLORREF does.
  return static_cast<COLORREF>(shape.colour & 0x00FFFFFFU);
}

}  // namespace

void PaintDisplayList(HDC dc, const DisplayList& list, const RECT& area, int margin) {
  const int saved = ::SaveDC(dc);
  ::FillRect(dc, &area, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  ::IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
  const Fit fit = FitBounds(list.bounds, area.right - area.left, area.bottom - area.top, margin);
  // One pen and one brush whose colours change per shape, instead of a GDI object per shape.
  ::SelectObject(dc, ::GetStockObject(DC_PEN));
  ::SelectObject(dc, ::GetStockObject(DC_BRUSH));
  std::vector<POINT> points;  // reused by every path
  for (const Shape& shape : list.shapes) {
    const COLORREF colour = ColourOf(shape);
    if (shape.filled) {
      ::SelectObject(dc, ::GetStockObject(NULL_PEN));
      ::SelectObject(dc, ::GetStockObject(DC_BRUSH));
      ::SetDCBrushColor(dc, colour);
    } else {
      ::SelectObject(dc, ::GetStockObject(DC_PEN));
      ::SelectObject(dc, ::GetStockObject(NULL_BRUSH));
      ::SetDCPenColor(dc, colour);
    }
    if (shape.kind == ShapeKind::Ellipse) {
      const double x = area.left + fit.X(shape.centre.x);
      const double y = area.top + fit.Y(shape.centre.y);
      const double rx = shape.radiusX * fit.scale;
      const double ry = shape.radiusY * fit.scale;
      // A filled ellipse without a pen comes out one pixel short on the right and bottom.
      const int extra = shape.filled ? 1 : 0;
      ::Ellipse(dc, ToPixel(x - rx), ToPixel(y - ry), ToPixel(x + rx) + extra,
                ToPixel(y + ry) + extra);
      continue;
    }
    points.clear();
    for (std::uint32_t i = 0; i < shape.vertexCount; ++i) {
      const Point& p = list.vertices[shape.firstVertex + i];
      points.push_back({ToPixel(area.left + fit.X(p.x)), ToPixel(area.top + fit.Y(p.y))});
    }
    const int count = static_cast<int>(points.size());
    if (shape.filled || shape.closed) {
      ::Polygon(dc, points.data(), count);
    } else {
      ::Polyline(dc, points.data(), count);
    }
  }
  ::RestoreDC(dc, saved);
}

}  // namespace runebin::win32
