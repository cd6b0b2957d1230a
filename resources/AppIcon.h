#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace runebin {

// The application icon, drawn at 32x32 (title bar, task bar, about box) and 16x16 (small icon).
struct IconArt {
  int width;
  int height;
  const char* const* rows;  // `height` rows of `width` palette characters
};

const IconArt& AppIconLarge();
const IconArt& AppIconSmall();

// The pixels of `art`, row by row from the top, each as 0xAARRGGBB (the layout of a 32-bit ARGB
// image). Unknown palette characters come out transparent.
std::vector<std::uint32_t> IconPixels(const IconArt& art);

}  // namespace runebin
