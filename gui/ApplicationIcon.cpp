#include "gui/ApplicationIcon.h"

#include <QImage>
#include <QPixmap>
#include <cstdint>
#include <vector>

namespace runebin::gui {

QImage IconImage(const IconArt& art) {
  const std::vector<std::uint32_t> pixels = IconPixels(art);
  QImage image(art.width, art.height, QImage::Format_ARGB32);
  for (int y = 0; y < art.height; ++y) {
    for (int x = 0; x < art.width; ++x) {
      const std::size_t index = static_cast<std::size_t>(y) * static_cast<std::size_t>(art.width) +
                                static_cast<std::size_t>(x);
      image.setPixel(x, y, index < pixels.size() ? pixels[index] : 0U);
    }
  }
  return image;
}

QIcon ApplicationIcon() {
  QIcon icon;
  icon.addPixmap(QPixmap::fromImage(IconImage(AppIconLarge())));
  icon.addPixmap(QPixmap::fromImage(IconImage(AppIconSmall())));
  return icon;
}

}  // namespace runebin::gui
