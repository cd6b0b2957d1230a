// runebin_icon_png SIZE OUT.png: the application icon as a PNG file of SIZE x SIZE pixels, for the
// desktop's icon theme. 16 and 32 are drawn; the other sizes enlarge the drawing that divides
// them (the small one for 48, the large one for 64, 128, 256), pixel for pixel, keeping it sharp.

#include <QImage>
#include <QString>
#include <cstdio>
#include <cstdlib>

#include "gui/ApplicationIcon.h"

int main(int argc, char** argv) {
  const int size = argc == 3 ? std::atoi(argv[1]) : 0;
  const runebin::IconArt& small = runebin::AppIconSmall();
  const runebin::IconArt& large = runebin::AppIconLarge();
  const runebin::IconArt& art = size % large.width == 0 ? large : small;
  if (size <= 0 || size % art.width != 0) {
    std::fputs("usage: runebin_icon_png SIZE OUT.png (SIZE a multiple of 16)\n", stderr);
    return 2;
  }
  const QImage image = runebin::gui::IconImage(art).scaled(size, size, Qt::IgnoreAspectRatio,
                                                           Qt::FastTransformation);
  if (!image.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
    std::fprintf(stderr, "runebin_icon_png: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
