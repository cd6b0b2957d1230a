#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

#include "resources/DialogLayout.h"

namespace runebin::gui {

// The font a dialog is laid out in: the family its layout names at its point size, or, where
// that family is not installed, a sans serif face of the same size.
QFont DialogFont(const DialogLayout& layout);

// Converts dialog units to pixels. A horizontal dialog unit is a quarter of the font's average
// character width, a vertical one an eighth of its character height, so a layout keeps its
// proportions whatever face and resolution the font ends up with.
class DialogUnitConverter {
 public:
  explicit DialogUnitConverter(const QFont& font);
  // Base units measured elsewhere (average character width and character height in pixels).
  DialogUnitConverter(int averageCharWidth, int charHeight);

  int BaseX() const { return baseX_; }
  int BaseY() const { return baseY_; }

  int ToPixelsX(int dialogUnits) const;
  int ToPixelsY(int dialogUnits) const;
  // Converts the rectangle's corners, not its size, so that controls that touch or line up in
  // dialog units still touch or line up in pixels whatever the rounding.
  QRect ToPixels(int x, int y, int width, int height) const;
  QSize ToPixels(int width, int height) const;

 private:
  int baseX_;
  int baseY_;
};

}  // namespace runebin::gui
