#pragma once

#include <QRectF>

#include "render/DisplayList.h"

class QPainter;

namespace runebin::gui {

// Paints a display list into `area`: white ground, the drawn bounds fitted inside less `margin`
// pixels on every side, centred, upright, antialiased; filled shapes in their colour without
// outline, outlines one pixel wide whatever the scale. Paints only the white ground for an empty
// list. Used by the preview frame and by the benchmark that times it.
void PaintDisplayList(QPainter& painter, const DisplayList& list, const QRectF& area,
                      double margin);

}  // namespace runebin::gui
