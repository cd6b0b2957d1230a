#include "render/Fit.h"

#include <algorithm>

namespace runebin {

Fit FitBounds(const Bounds& bounds, double width, double height, double margin) {
  const double roomX = std::max(width - 2 * margin, 1.0);
  const double roomY = std::max(height - 2 * margin, 1.0);
  Fit fit;
  double centreX = 0;
  double centreY = 0;
  if (!bounds.empty) {
    const double w = static_cast<double>(bounds.maxX) - bounds.minX;
    const double h = static_cast<double>(bounds.maxY) - bounds.minY;
    if (w > 0 && h > 0) {
      fit.scale = std::min(roomX / w, roomY / h);
    } else if (w > 0 || h > 0) {
      fit.scale = w > 0 ? roomX / w : roomY / h;
    }
    centreX = (static_cast<double>(bounds.minX) + bounds.maxX) / 2;
    centreY = (static_cast<double>(bounds.minY) + bounds.maxY) / 2;
  }
  fit.originX = width / 2 - centreX * fit.scale;
  fit.originY = height / 2 + centreY * fit.scale;
  return fit;
}

}  // namespace runebin
