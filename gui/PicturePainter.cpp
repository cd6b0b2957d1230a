#include "gui/PicturePainter.h"

#include <QPainter>
#include <QPen>
#include <QPointF>
#include <vector>

#include "render/Fit.h"

namespace runebin::gui {
namespace {

QColor ColourOf(const Shape& shape) {
  return QColor(static_cast<int>(shape.colour & 0xFF), static_cast<int>((shape.colour >> 8) & 0xFF),
                static_cast<int>((shape.colour >> 16) & 0xFF));
}

}  // namespace

void PaintDisplayList(QPainter& painter, const DisplayList& list, const QRectF& area,
                      double margin) {
  painter.save();
  painter.fillRect(area, Qt::white);
  painter.setClipRect(area);
  painter.setRenderHint(QPainter::Antialiasing, true);
  const Fit fit = FitBounds(list.bounds, area.width(), area.height(), margin);
  const double left = area.left();
  const double top = area.top();
  std::vector<QPointF> points;  // reused by every path
  for (const Shape& shape : list.shapes) {
    const QColor colour = ColourOf(shape);
    if (shape.filled) {
      painter.setPen(Qt::NoPen);
      painter.setBrush(colour);
    } else {
      QPen pen(colour, 0);  // cosmetic: one pixel at any scale
      pen.setJoinStyle(Qt::RoundJoin);
      painter.setPen(pen);
      painter.setBrush(Qt::NoBrush);
    }
    if (shape.kind == ShapeKind::Ellipse) {
      painter.drawEllipse(QPointF(left + fit.X(shape.centre.x), top + fit.Y(shape.centre.y)),
                          shape.radiusX * fit.scale, shape.radiusY * fit.scale);
      continue;
    }
    points.clear();
    for (std::uint32_t i = 0; i < shape.vertexCount; ++i) {
      const Point& p = list.vertices[shape.firstVertex + i];
      points.emplace_back(left + fit.X(p.x), top + fit.Y(p.y));
    }
    const int count = static_cast<int>(points.size());
    if (shape.filled || shape.closed) {
      painter.drawPolygon(points.data(), count);
    } else {
      painter.drawPolyline(points.data(), count);
    }
  }
  painter.restore();
}

}  // namespace runebin::gui
