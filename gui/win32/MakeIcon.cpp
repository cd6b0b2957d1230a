// Build tool: writes the application icon, drawn in resources/AppIcon.cpp, as an .ico file for
// the Windows program's resources. Usage: make-icon OUTPUT.ico. Runs on the build machine.
//
// Besides the drawn 32x32 and 16x16 images the file holds 48x48 (the small drawing three times)
// and 64x64 (the large one twice), enlarged pixel for pixel: at 150% and 200% display scaling the
// system then finds an image of the size it wants instead of blurring a smaller one.

#include <cstdint>
#include <cstdio>
#include <vector>

#include "resources/AppIcon.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& out, unsigned value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void Put32(Bytes& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

// One icon image of `art` enlarged `scale` times: a BITMAPINFOHEADER of twice the height (colour
// and mask), the 32-bit BGRA pixels bottom-up, then the 1-bit transparency mask, rows padded to 32
// bits.
Bytes IconImage(const runebin::IconArt& art, std::uint32_t scale) {
  const std::vector<std::uint32_t> drawn = runebin::IconPixels(art);
  const auto width = static_cast<std::uint32_t>(art.width) * scale;
  const auto height = static_cast<std::uint32_t>(art.height) * scale;
  std::vector<std::uint32_t> pixels(width * height);
  for (std::uint32_t i = 0; i < pixels.size(); ++i) {
    pixels[i] =
        drawn[(i / width / scale) * static_cast<std::uint32_t>(art.width) + i % width / scale];
  }
  const std::uint32_t maskRow = (width + 31) / 32 * 4;
  Bytes out;
  Put32(out, 40);
  Put32(out, width);
  Put32(out, height * 2);
  Put16(out, 1);   // planes
  Put16(out, 32);  // bits per pixel
  Put32(out, 0);   // no compression
  Put32(out, width * height * 4 + maskRow * height);
  for (int i = 0; i < 4; ++i) {
    Put32(out, 0);  // resolution and palette: unused
  }
  for (std::uint32_t row = height; row-- > 0;) {
    for (std::uint32_t x = 0; x < width; ++x) {
      Put32(out, pixels[row * width + x]);  // 0xAARRGGBB is B, G, R, A in memory order
    }
  }
  for (std::uint32_t row = height; row-- > 0;) {
    Bytes bits(maskRow, 0);
    for (std::uint32_t x = 0; x < width; ++x) {
      if ((pixels[row * width + x] >> 24) == 0) {
        bits[x / 8] = static_cast<std::uint8_t>(bits[x / 8] | (0x80U >> (x % 8)));
      }
    }
    out.insert(out.end(), bits.begin(), bits.end());
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: make-icon OUTPUT.ico\n", stderr);
    return 2;
  }
  struct Entry {
    const runebin::IconArt& art;
    std::uint32_t scale;
  };
  const Entry entries[] = {{runebin::AppIconLarge(), 1},
                           {runebin::AppIconSmall(), 1},
                           {runebin::AppIconSmall(), 3},
                           {runebin::AppIconLarge(), 2}};
  std::vector<Bytes> images;
  for (const Entry& entry : entries) {
    images.push_back(IconImage(entry.art, entry.scale));
  }
  Bytes file;
  Put16(file, 0);
  Put16(file, 1);  // an icon
  Put16(file, static_cast<unsigned>(images.size()));
  std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    file.push_back(static_cast<std::uint8_t>(entries[i].art.width * entries[i].scale));
    file.push_back(static_cast<std::uint8_t>(entries[i].art.height * entries[i].scale));
    file.push_back(0);  // no palette
    file.push_back(0);
    Put16(file, 1);
    Put16(file, 32);
    Put32(file, static_cast<std::uint32_t>(images[i].size()));
    Put32(file, offset);
    offset += static_cast<std::uint32_t>(images[i].size());
  }
  for (const Bytes& image : images) {
    file.insert(file.end(), image.begin(), image.end());
  }
  std::FILE* out = std::fopen(argv[1], "wb");
  if (out == nullptr || std::fwrite(file.data(), 1, file.size(), out) != file.size() ||
      std::fclose(out) != 0) {
    std::perror(argv[1]);
    return 1;
  }
  return 0;
}
