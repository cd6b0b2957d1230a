#include "metafile/HostPalette.h"

#include <algorithm>
#include <cstdint>

namespace runebin {

const std::array<std::uint32_t, kPaletteSize> HostPalette = {
    0x000000, 0x00FF00, 0x0000E0, 0xFF0000, 0x00FFFF, 0xFFFF00, 0xFF00FF, 0xFF00AF,  // 0-7
    0x0067FF, 0xFF8868, 0x5898F8, 0x0048A8, 0x388888, 0x386800, 0x808080, 0xFFFFFF,  // 8-15
    0xC0C0C0, 0x000000, 0x808080, 0xE0F8FF, 0x808000, 0x4076E8, 0x968067, 0x659E50,  // 16-23
    0x3D40B1, 0x794AA8, 0x808040, 0xBE9343, 0xC08080, 0xBDF0FF, 0xABAB56, 0xE0F8FF,  // 24-31
    0x0B1625, 0x102137, 0x152C49, 0x1A375B, 0x1F426D, 0x244D7F, 0x295891, 0x2E63A3,  // 32-39
    0x4574AD, 0x5C85B7, 0x7396C1, 0x8AA7CB, 0xA1B8D5, 0xB8C9DF, 0xCFDAE9, 0xE6EBF3,  // 40-47
    0x3B0A08, 0x570B0B, 0x730C0E, 0x8F0D11, 0xAB0E14, 0xC70F17, 0xE3101A, 0xFF111D,  // 48-55
    0xFF2B36, 0xFF454F, 0xFF5F68, 0xFF7981, 0xFF939A, 0xFFADB3, 0xFFC7CC, 0xFFE1E5,  // 56-63
    0x3B3703, 0x574F04, 0x736705, 0x8F7F06, 0xAB9707, 0xC7AF08, 0xE3C709, 0xFFDF0A,  // 64-71
    0xFFE225, 0xFFE540, 0xFFE85B, 0xFFEB76, 0xFFEE91, 0xFFF1AC, 0xFFF4C7, 0xFFF7E2,  // 72-79
    0x172E06, 0x224408, 0x2D5A0A, 0x38700C, 0x43860E, 0x4E9C10, 0x59B212, 0x64C814,  // 80-87
    0x75CE2E, 0x86D448, 0x97DA62, 0xA8E07C, 0xB9E696, 0xCAECB0, 0xDBF2CA, 0xECF8E4,  // 88-95
    0x07390A, 0x09550F, 0x0B7114, 0x0D8D19, 0x0FA91E, 0x11C523, 0x13E128, 0x15FD2D,  // 96-103
    0x2FFD44, 0x49FD5B, 0x63FD72, 0x7DFD89, 0x97FDA0, 0xB1FDB7, 0xCBFDCE, 0xE5FDE5,  // 104-111
    0x0C3A2D, 0x0F5643, 0x127259, 0x158E6F, 0x18AA85, 0x1BC69B, 0x1EE2B1, 0x21FEC7,  // 112-119
    0x39FECD, 0x51FED3, 0x69FED9, 0x81FEDF, 0x99FEE5, 0xB1FEEB, 0xC9FEF1, 0xE1FEF7,  // 120-127
    0x09373B, 0x0C5057, 0x0F6973, 0x12828F, 0x159BAB, 0x18B4C7, 0x1BCDE3, 0x1EE6FF,  // 128-135
    0x37E8FF, 0x50EAFF, 0x69ECFF, 0x82EEFF, 0x9BF0FF, 0xB4F2FF, 0xCDF4FF, 0xE6F6FF,  // 136-143
    0x041D3A, 0x062856, 0x083372, 0x0A3E8E, 0x0C49AA, 0x0E54C6, 0x105FE2, 0x126AFE,  // 144-151
    0x2C7AFE, 0x468AFE, 0x609AFE, 0x7AAAFE, 0x94BAFE, 0xAECAFE, 0xC8DAFE, 0xE3EAFE,  // 152-159
    0x03033A, 0x030456, 0x030572, 0x03068E, 0x0307AA, 0x0308C6, 0x0309E2, 0x030AFE,  // 160-167
    0x1F25FE, 0x3B40FE, 0x575BFE, 0x7376FE, 0x8F91FE, 0xABACFE, 0xC7C7FE, 0xE3E2FE,  // 168-175
    0x1D073A, 0x290756, 0x350772, 0x41078E, 0x4D07AA, 0x5907C6, 0x6507E2, 0x7107FE,  // 176-183
    0x8022FE, 0x8F3DFE, 0x9E58FE, 0xAD73FE, 0xBC8EFE, 0xCBA9FE, 0xDAC4FE, 0xE9DFFE,  // 184-191
    0x2B043A, 0x3F0656, 0x530872, 0x670A8E, 0x7B0CAA, 0x8F0EC6, 0xA310E2, 0xB712FE,  // 192-199
    0xBF2CFE, 0xC746FE, 0xCF60FE, 0xD77AFE, 0xDF94FE, 0xE7AEFE, 0xEFC8FE, 0xF7E2FE,  // 200-207
    0x3B0634, 0x57074A, 0x730860, 0x8F0976, 0xAB0A8C, 0xC70BA7, 0xE30CB8, 0xFF0DCE,  // 208-215
    0xFF27D3, 0xFF41D8, 0xFF5BDD, 0xFF75E2, 0xFF8FE7, 0xFFA9EC, 0xFFC3F1, 0xFFDDF6,  // 216-223
    0x3B0624, 0x570636, 0x730648, 0x8F065A, 0xAB066C, 0xC7067E, 0xE30690, 0xFF06A2,  // 224-231
    0xFF21AC, 0xFF3CB6, 0xFF57C0, 0xFF72CA, 0xFF8DD4, 0xFFA8DE, 0xFFC3E8, 0xF2DEFF,  // 232-239
    0x1C1C1C, 0x282828, 0x343434, 0x404040, 0x4C4C4C, 0x585858, 0x646464, 0x707070,  // 240-247
    0x7F7F7F, 0x8E8E8E, 0x9D9D9D, 0xACACAC, 0xBBBBBB, 0xCACACA, 0xD9D9D9, 0xE8E8E8,  // 248-255
};

namespace {

constexpr int Red(std::uint32_t colour) {
  return static_cast<int>(colour & 0xFFu);
}
constexpr int Green(std::uint32_t colour) {
  return static_cast<int>((colour >> 8) & 0xFFu);
}
constexpr int Blue(std::uint32_t colour) {
  return static_cast<int>((colour >> 16) & 0xFFu);
}

}  // namespace

namespace {

// The entries' channels apart, so that the search works out the distances of several entries at
// once; entry 31 is kept out by a distance no colour reaches.
struct Channels {
  std::array<std::int32_t, kPaletteSize> red{};
  std::array<std::int32_t, kPaletteSize> green{};
  std::array<std::int32_t, kPaletteSize> blue{};
};

const Channels& PaletteChannels() {
  static const Channels channels = [] {
    Channels split;
    for (std::size_t i = 0; i < kPaletteSize; ++i) {
      split.red[i] = Red(HostPalette[i]);
      split.green[i] = Green(HostPalette[i]);
      split.blue[i] = Blue(HostPalette[i]);
    }
    // Every colour is nearer to every other entry: (1024 - 255)^2 > 3 * 255^2.
    split.red[kSkippedPaletteIndex] = 1024;
    return split;
  }();
  return channels;
}

}  // namespace

int NearestPaletteIndex(std::uint32_t colour) {
  const std::int32_t red = Red(colour);
  const std::int32_t green = Green(colour);
  const std::int32_t blue = Blue(colour);
  const Channels& palette = PaletteChannels();
  // All distances first, then the smallest, then the first entry at it: the lower index wins a
  // tie, and an exact match (distance 0) is the smallest there can be.
  std::array<std::int32_t, kPaletteSize> distances;
  std::int32_t smallest = INT32_MAX;
  for (std::size_t i = 0; i < kPaletteSize; ++i) {
    const std::int32_t dr = red - palette.red[i];
    const std::int32_t dg = green - palette.green[i];
    const std::int32_t db = blue - palette.blue[i];
    distances[i] = dr * dr + dg * dg + db * db;
    smallest = std::min(smallest, distances[i]);
  }
  int index = 0;
  while (distances[static_cast<std::size_t>(index)] != smallest) {
    ++index;
  }
  return index;
}

PaletteMatcher::PaletteMatcher() {
  keys_.fill(kEmpty);
}

int PaletteMatcher::IndexOf(std::uint32_t colour) {
  const std::uint32_t key = colour & 0xFFFFFFu;
  // Fibonacci hashing: the top bits of the product mix all three colour bytes.
  const std::size_t slot = (key * 0x9E3779B1u) >> 24;
  if (keys_[slot] != key) {
    keys_[slot] = key;
    indices_[slot] = static_cast<std::uint8_t>(NearestPaletteIndex(key));
  }
  return indices_[slot];
}

}  // namespace runebin
