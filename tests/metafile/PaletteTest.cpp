#include <gtest/gtest.h>

#include <random>

#include "metafile/HostPalette.h"

namespace runebin {
namespace {

int Distance(std::uint32_t a, std::uint32_t b) {
  int sum = 0;
  for (int shift : {0, 8, 16}) {
    const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
    sum += d * d;
  }
  return sum;
}

TEST(HostPaletteTable, MatchesTheHostColourTable) {
  // FNV-1a over the 256 entries (each as 4 little-endian bytes), taken from the host
  // application's colour table when this table was typed in: any changed entry shows here.
  std::uint64_t hash = 0xcbf29ce484222325u;
  for (std::uint32_t colour : HostPalette) {
    for (int shift : {0, 8, 16, 24}) {
      hash ^= (colour >> shift) & 0xFFu;
      hash *= 0x100000001b3u;
    }
  }
  EXPECT_EQ(hash, 0xafe8c8057d17b8deu);
  // A few landmarks, written as 0xBBGGRR.
  EXPECT_EQ(HostPalette[0], 0x000000u);
  EXPECT_EQ(HostPalette[2], 0x0000E0u);
  EXPECT_EQ(HostPalette[15], 0xFFFFFFu);
  EXPECT_EQ(HostPalette[31], 0xE0F8FFu);
  EXPECT_EQ(HostPalette[167], 0x030AFEu);
  EXPECT_EQ(HostPalette[239], 0xF2DEFFu);
  EXPECT_EQ(HostPalette[255], 0xE8E8E8u);
  for (std::size_t i = 240; i < 256; ++i) {
    const std::uint32_t grey = HostPalette[i] & 0xFF;
    EXPECT_EQ(HostPalette[i], grey * 0x010101u) << i;
  }
}

TEST(NearestPaletteIndex, ExactColoursAndTheirEdgeCases) {
  EXPECT_EQ(NearestPaletteIndex(0xFFFFFF), 15);
  EXPECT_EQ(NearestPaletteIndex(0x000000), 0);
  EXPECT_EQ(NearestPaletteIndex(0x0000FF), 167);  // pure red
  EXPECT_EQ(NearestPaletteIndex(0xE0F8FF), 19);   // entry 31's colour: 19 has it too
  EXPECT_EQ(NearestPaletteIndex(0x808080), 14);   // 18 repeats 14
  EXPECT_EQ(NearestPaletteIndex(0xFF000000), 0);  // the high byte plays no part
  // Every entry maps to the first entry of its colour, never to 31.
  for (std::size_t i = 0; i < kPaletteSize; ++i) {
    std::size_t first = 0;
    while (HostPalette[first] != HostPalette[i] || first == kSkippedPaletteIndex) {
      ++first;
    }
    EXPECT_EQ(NearestPaletteIndex(HostPalette[i]), static_cast<int>(first)) << i;
  }
}

TEST(NearestPaletteIndex, IsTheClosestWithTheLowerIndexOnTies) {
  std::mt19937 random(7);
  for (int n = 0; n < 3000; ++n) {
    const std::uint32_t colour = random() & 0xFFFFFF;
    const int found = NearestPaletteIndex(colour);
    ASSERT_NE(found, kSkippedPaletteIndex);
    const int best = Distance(colour, HostPalette[static_cast<std::size_t>(found)]);
    for (int i = 0; i < static_cast<int>(kPaletteSize); ++i) {
      if (i == kSkippedPaletteIndex) {
        continue;
      }
      const int d = Distance(colour, HostPalette[static_cast<std::size_t>(i)]);
      ASSERT_TRUE(d > best || (d == best && i >= found))
          << std::hex << colour << std::dec << ": " << found << " but " << i;
    }
  }
}

TEST(PaletteMatcher, AnswersExactlyAsTheSearch) {
  std::mt19937 random(11);
  PaletteMatcher matcher;
  // A few colours used again and again, mixed with fresh ones that evict them from the memory,
  // with the high byte set now and then.
  std::vector<std::uint32_t> favourites;
  for (int i = 0; i < 40; ++i) {
    favourites.push_back(random() & 0xFFFFFF);
  }
  for (int n = 0; n < 20000; ++n) {
    std::uint32_t colour = random() % 3 == 0 ? random() & 0xFFFFFF : favourites[random() % 40];
    if (random() % 5 == 0) {
      colour |= 0x01000000u << (random() % 8);
    }
    ASSERT_EQ(matcher.IndexOf(colour), NearestPaletteIndex(colour)) << std::hex << colour;
  }
}

}  // namespace
}  // namespace runebin
