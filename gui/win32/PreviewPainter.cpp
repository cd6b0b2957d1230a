#include "gui/win32/PreviewPainter.h"

// GDI+ draws the symbol antialiased; it ships with every Windows. Its header needs PROPID from
// objidl.h first.
#include <objidl.h>

#include <gdiplus.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "render/Fit.h"

namespace runebin::win32 {

namespace {

// Far-off points are pinned well outside any window, so that nothing overflows while the shape
// still runs the right way.
Gdiplus::REAL ToPixel(double value) {
  if (std::isnan(value)) {
    return 0;
  }
  return static_cast<Gdiplus::REAL>(std::clamp(value, -1.0e6, 1.0e6));
}

Gdiplus::Color ColourOf(const Shape& shape) {
  // The palette entry has red in its low byte.
  return Gdiplus::Color(255, static_cast<BYTE>(shape.colour & 0xFF),
                        static_cast<BYTE>((shape.colour >> 8) & 0xFF),
                        static_cast<BYTE>((shape.colour >> 16) & 0xFF));
}

// GDI+ is started once, the first time a picture is painted, and stays for the process's life.
bool StartGdiPlus() {
  static const bool started = [] {
    ULONG_PTR token = 0;
    const Gdiplus::GdiplusStartupInput input;
    return Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
  }();
  return started;
}

}  // namespace

void PaintDisplayList(HDC dc, const DisplayList& list, const RECT& area, int margin) {
  ::FillRect(dc, &area, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  if (!StartGdiPlus()) {
    return;
  }
  // Drawn into a picture of the area first, then copied to the screen at once: no flicker, and
  // antialiasing wherever GDI+ offers it (into a screen device it may not).
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  Gdiplus::Bitmap picture(width, height, PixelFormat32bppARGB);
  Gdiplus::Graphics graphics(&picture);
  graphics.Clear(Gdiplus::Color(255, 255, 255, 255));
  graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
  const Fit fit = FitBounds(list.bounds, width, height, margin);
  std::vector<Gdiplus::PointF> points;  // reused by every path
  for (const Shape& shape : list.shapes) {
    const Gdiplus::SolidBrush brush(ColourOf(shape));
    const Gdiplus::Pen pen(ColourOf(shape), 1.0F);  // one pixel at any scale
    if (shape.kind == ShapeKind::Ellipse) {
      const double rx = shape.radiusX * fit.scale;
      const double ry = shape.radiusY * fit.scale;
      const Gdiplus::RectF box(ToPixel(fit.X(shape.centre.x) - rx),
                               ToPixel(fit.Y(shape.centre.y) - ry), ToPixel(2 * rx),
                               ToPixel(2 * ry));
      if (shape.filled) {
        graphics.FillEllipse(&brush, box);
      } else {
        graphics.DrawEllipse(&pen, box);
      }
      continue;
    }
    points.clear();
    for (std::uint32_t i = 0; i < shape.vertexCount; ++i) {
      const Point& p = list.vertices[shape.firstVertex + i];
      points.emplace_back(ToPixel(fit.X(p.x)), ToPixel(fit.Y(p.y)));
    }
    const int count = static_cast<int>(points.size());
    if (shape.filled) {
      graphics.FillPolygon(&brush, points.data(), count);
    } else if (shape.closed) {
      graphics.DrawPolygon(&pen, points.data(), count);
    } else {
      graphics.DrawLines(&pen, points.data(), count);
    }
  }
  Gdiplus::Graphics(dc).DrawImage(&picture, static_cast<INT>(area.left),
                                  static_cast<INT>(area.top));
}

}  // namespace runebin::win32
