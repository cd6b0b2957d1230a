#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/cli/CliRunner.h"
#include "tests/support/DrawingBuilder.h"
#include "tests/support/TempDir.h"

namespace runebin::testing {

// Each test gets its own folder; the files it writes there are backdated, so that a test can tell
// a rewritten file from an untouched one by its state.
class CliTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const Bytes& bytes) {
    const std::string path = dir.Write(name, bytes);
    BackdateFile(path);
    return path;
  }

  // Expects the run to have failed the way a user must see: status 1, `message` (and a line
  // break) on stderr, nothing on stdout.
  static void ExpectFailure(const CliResult& result, const std::string& message) {
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, message + "\n");
    EXPECT_EQ(result.out, "");
  }

  TempDir dir;
};

// A small Windows Metafile: the 18-byte standard header, the records, the end record.
inline Bytes MetaRecord(std::uint16_t function, const std::vector<std::int16_t>& parameters) {
  Bytes record;
  const auto words = static_cast<std::uint32_t>(3 + parameters.size());
  for (int shift = 0; shift < 32; shift += 8) {
    record.push_back(static_cast<std::uint8_t>(words >> shift));
  }
  record.push_back(static_cast<std::uint8_t>(function));
  record.push_back(static_cast<std::uint8_t>(function >> 8));
  for (const std::int16_t value : parameters) {
    record.push_back(static_cast<std::uint8_t>(value));
    record.push_back(static_cast<std::uint8_t>(static_cast<std::uint16_t>(value) >> 8));
  }
  return record;
}

inline Bytes Metafile(const std::vector<Bytes>& records) {
  Bytes header = {1, 0, 9, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  std::vector<Bytes> parts = {header};
  parts.insert(parts.end(), records.begin(), records.end());
  parts.push_back(MetaRecord(0, {}));
  return Join(parts);
}

// A filled polygon (0,0), (100,0), (100,50): 100 units wide and 50 high.
inline Bytes TriangleMetafile() {
  constexpr std::uint16_t kPolygon = 0x0324;
  return Metafile({MetaRecord(kPolygon, {3, 0, 0, 100, 0, 100, 50})});
}

}  // namespace runebin::testing
