#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace runebin {

// The host application's 256 colours. Each is a 32-bit value in the byte order of a metafile
// colour: red in the low byte, then green, then blue (written below as hexadecimal 0xBBGGRR).
// Indices 0-31 are single colours, 32-239 thirteen ramps of sixteen shades, 240-255 greys.
inline constexpr std::size_t kPaletteSize = 256;

// NearestPaletteIndex never answers this index; its colour is also entry 19's.
inline constexpr int kSkippedPaletteIndex = 31;

extern const std::array<std::uint32_t, kPaletteSize> HostPalette;

// The index of the HostPalette entry nearest to a metafile colour (the high byte is ignored):
// the smallest squared distance over red, green and blue; an exact match wins at once; among
// equal distances the lower index wins. Index 31 is never chosen.
int NearestPaletteIndex(std::uint32_t colour);

// NearestPaletteIndex with a memory of recent answers, for converting many records that use a
// few colours. Gives exactly the same answers. One per import; not shared between threads.
class PaletteMatcher {
 public:
  PaletteMatcher();
  int IndexOf(std::uint32_t colour);

 private:
  static constexpr std::size_t kCacheSize = 256;        // direct-mapped by a hash of the colour
  static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;  // no 24-bit colour has this key
  std::array<std::uint32_t, kCacheSize> keys_;
  std::array<std::uint8_t, kCacheSize> indices_{};
};

}  // namespace runebin
