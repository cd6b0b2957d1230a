#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

#include "symbols/Messages.h"

namespace runebin {
namespace {

std::string Printed(double value) {
  char buffer[400];
  const int length = std::snprintf(buffer, sizeof buffer, "%0.2f", value);
  return std::string(buffer, static_cast<std::size_t>(length));
}

// Widths and heights are differences of stored single-precision extents: whatever their bits,
// they read as printf would print them, halfway cases and extremes included.
TEST(Dimension, ReadsAsPrintfPrintsIt) {
  const double cases[] = {0.0,
                          -0.0,
                          0.005,
                          0.015,
                          0.125,
                          0.375,
                          2.675,
                          -1.005,
                          999.995,
                          1e-300,
                          123456789.125,
                          std::numeric_limits<double>::max(),
                          -std::numeric_limits<double>::max(),
                          std::numeric_limits<double>::denorm_min(),
                          std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity(),
                          std::numeric_limits<double>::quiet_NaN()};
  for (const double value : cases) {
    EXPECT_EQ(messages::Dimension(value), Printed(value)) << value;
  }
  // A spread of float bit patterns, as MeasureSymbol hands them over.
  std::uint32_t bits = 12345;
  for (int i = 0; i < 100000; ++i) {
    bits = bits * 1664525U + 1013904223U;
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    ASSERT_EQ(messages::Dimension(value), Printed(value)) << bits;
  }
}

}  // namespace
}  // namespace runebin
