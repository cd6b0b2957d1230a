#pragma once

#include "render/DisplayList.h"

namespace runebin {

// Where a display list lands in an area of pixels: its drawn bounds scaled to fit inside the
// area less a margin on every side, keeping proportions, centred. The records' y axis points up
// and the screen's down, so y is turned over: the symbol appears upright, as the metafile showed
// it.
struct Fit {
  double scale = 1;
  double originX = 0;  // screen position of the records' (0, 0)
  double originY = 0;

  double X(double x) const { return originX + x * scale; }
  double Y(double y) const { return originY - y * scale; }
};

// Bounds without extent (a single point, a line) are scaled by their other side, or by 1 when
// they have none; empty bounds give the identity placed at the area's centre.
Fit FitBounds(const Bounds& bounds, double width, double height, double margin);

}  // namespace runebin
