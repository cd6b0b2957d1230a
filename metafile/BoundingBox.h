#pragma once

#include <cstdint>

namespace runebin {

// The extent of a metafile's drawing in its own 16-bit coordinates. It starts at all zero, so it
// always contains the origin, and only grows.
struct BoundingBox {
  std::int16_t minX = 0;
  std::int16_t minY = 0;
  std::int16_t maxX = 0;
  std::int16_t maxY = 0;

  void Reset() { *this = BoundingBox{}; }

  // Each bound is compared on its own.
  void IncludePoint(std::int16_t x, std::int16_t y) {
    if (x < minX) {
      minX = x;
    }
    if (y < minY) {
      minY = y;
    }
    if (x > maxX) {
      maxX = x;
    }
    if (y > maxY) {
      maxY = y;
    }
  }

  friend bool operator==(const BoundingBox&, const BoundingBox&) = default;
};

}  // namespace runebin
