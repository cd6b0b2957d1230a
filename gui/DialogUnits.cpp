#include "gui/DialogUnits.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QString>
#include <QStringList>

namespace runebin::gui {

namespace {

// a * b / c rounded to the nearest integer, halves away from zero.
int MulDivRounded(int a, int b, int c) {
  const long long product = static_cast<long long>(a) * b;
  const long long half = c / 2;
  return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

}  // namespace

QFont DialogFont(const DialogLayout& layout) {
  const QString family =
      QString::fromUtf8(layout.fontName.data(), static_cast<qsizetype>(layout.fontName.size()));
  QFont font;
  if (!family.isEmpty() && QFontDatabase::hasFamily(family)) {
    font.setFamilies(QStringList{family});
  } else {
    font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setStyleHint(QFont::SansSerif);
  }
  font.setPointSize(layout.fontPointSize > 0 ? layout.fontPointSize : 8);
  return font;
}

DialogUnitConverter::DialogUnitConverter(const QFont& font) {
  const QFontMetrics metrics(font);
  // The average width is taken over the 52 letters of the alphabet, rounded to the nearest pixel.
  const int alphabetWidth = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  baseX_ = (alphabetWidth / 26 + 1) / 2;
  baseY_ = metrics.height();
  if (baseX_ < 1) {
    baseX_ = 1;
  }
  if (baseY_ < 1) {
    baseY_ = 1;
  }
}

DialogUnitConverter::DialogUnitConverter(int averageCharWidth, int charHeight)
    : baseX_(averageCharWidth < 1 ? 1 : averageCharWidth),
      baseY_(charHeight < 1 ? 1 : charHeight) {}

int DialogUnitConverter::ToPixelsX(int dialogUnits) const {
  return MulDivRounded(dialogUnits, baseX_, 4);
}

int DialogUnitConverter::ToPixelsY(int dialogUnits) const {
  return MulDivRounded(dialogUnits, baseY_, 8);
}

QRect DialogUnitConverter::ToPixels(int x, int y, int width, int height) const {
  const int left = ToPixelsX(x);
  const int top = ToPixelsY(y);
  const int right = ToPixelsX(x + width);
  const int bottom = ToPixelsY(y + height);
  return {left, top, right - left, bottom - top};
}

QSize DialogUnitConverter::ToPixels(int width, int height) const {
  return {ToPixelsX(width), ToPixelsY(height)};
}

}  // namespace runebin::gui
