#include "resources/AppIcon.h"

#include <array>

namespace runebin {

namespace {

// The icon is drawn as character art, one character per pixel, so that it can be read and edited
// here. The two sizes are drawn separately: the small one is not a scaled copy.
struct PaletteEntry {
  char key;
  std::uint32_t argb;
};

constexpr std::array<PaletteEntry, 5> kPalette = {{
    {'.', 0x00000000},  // transparent
    {'k', 0xFF1E2A3A},  // dark slate outline
    {'b', 0xFF3F6E9E},  // blue tile
    {'w', 0xFFFFFFFF},  // the rune
    {'a', 0xFFE0A030},  // the amber tray
}};

constexpr const char* kLarge[32] = {
    "................................", ".....kkkkkkkkkkkkkkkkkkkkkk.....",
    "...kkkbbbbbbbbbbbbbbbbbbbbkkk...", "..kkbbbbbbbbbbbbbbbbbbbbbbbbkk..",
    "..kbbbbbbbbbbbbbbbbbbbbbbbbbbk..", ".kkbbbbbbbbbbbbbbbbbbbbbbbbbbkk.",
    ".kbbbbbbbbbbwwwbbbbbbbbbbbbbbbk.", ".kbbbbbbbbbbwwwwbbbbbbbbbbbbbbk.",
    ".kbbbbbbbbbbwwwwwwbbbbbbbbbbbbk.", ".kbbbbbbbbbbwwbbwwwbbbbbbbbbbbk.",
    ".kbbbbbbbbbbwwbbbbwwwbbbbbbbbbk.", ".kbbbbbbbbbbwwbbbbbwwwbbbbbbbbk.",
    ".kbbbbbbbbbbwwbbbbwwwbbbbbbbbbk.", ".kbbbbbbbbbbwwbbwwwbbbbbbbbbbbk.",
    ".kbbbbbbbbbbwwwwwwbbbbbbbbbbbbk.", ".kbbbbbbbbbbwwwwbbbbbbbbbbbbbbk.",
    ".kbbbbbbbbbbwwwbbbbbbbbbbbbbbbk.", ".kbbbbbbbbbbwwwwbbbbbbbbbbbbbbk.",
    ".kbbbbbbbbbbwwwwwbbbbbbbbbbbbbk.", ".kbbbbbbbbbbwwbwwwbbbbbbbbbbbbk.",
    ".kbbbbbbbbbbwwbbwwwwbbbbbbbbbbk.", ".kbbbbbbbbbbwwbbbbwwwbbbbbbbbbk.",
    ".kbbbbbbbbbbwwbbbbbwwwbbbbbbbbk.", ".kbbbbbbbbbbwwbbbbbbwwwbbbbbbbk.",
    ".kbbbbbbbbbbbbbbbbbbbbbbbbbbbbk.", ".kbbbbbbaaaaaaaaaaaaaaaaabbbbbk.",
    ".kkbbbbaaaaaaaaaaaaaaaaaaabbbkk.", "..kbbbbaaaaaaaaaaaaaaaaaaabbbk..",
    "..kkbbbaaaaaaaaaaaaaaaaaaabbkk..", "...kkkbbbbbbbbbbbbbbbbbbbbkkk...",
    ".....kkkkkkkkkkkkkkkkkkkkkk.....", "................................",
};

constexpr const char* kSmall[16] = {
    "................", "...kkkkkkkkkk...", "..kbbbbbbbbbbk..", ".kbbbbwwbbbbbbk.",
    ".kbbbbwwwbbbbbk.", ".kbbbbwbwwbbbbk.", ".kbbbbwbbwwbbbk.", ".kbbbbwbwwbbbbk.",
    ".kbbbbwwwbbbbbk.", ".kbbbbwwwbbbbbk.", ".kbbbbwbwwbbbbk.", ".kbbbbwbbwwbbbk.",
    ".kbbbbbbbbbbbbk.", ".kbbaaaaaaaabbk.", "..kbaaaaaaaabk..", "...kkkkkkkkkk...",
};

}  // namespace

const IconArt& AppIconLarge() {
  static const IconArt art{32, 32, kLarge};
  return art;
}

const IconArt& AppIconSmall() {
  static const IconArt art{16, 16, kSmall};
  return art;
}

std::vector<std::uint32_t> IconPixels(const IconArt& art) {
  std::vector<std::uint32_t> pixels;
  pixels.reserve(static_cast<std::size_t>(art.width) * static_cast<std::size_t>(art.height));
  for (int y = 0; y < art.height; ++y) {
    const std::string_view row = art.rows[y];
    for (int x = 0; x < art.width; ++x) {
      const char key = x < static_cast<int>(row.size()) ? row[static_cast<std::size_t>(x)] : '.';
      std::uint32_t argb = 0;
      for (const PaletteEntry& entry : kPalette) {
        if (entry.key == key) {
          argb = entry.argb;
        }
      }
      pixels.push_back(argb);
    }
  }
  return pixels;
}

}  // namespace runebin
