// The window a load reads a file through: whatever it hands out are the file's own bytes, as
// many as asked for wherever the window stands, and a file cut short under it stops the walk.

#include "model/BodyWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "model/MappedFile.h"
#include "tests/support/DrawingBuilder.h"
#include "tests/support/TempDir.h"

namespace runebin {
namespace {

using namespace runebin::testing;

TEST(BodyWindow, HandsOutTheFilesBytesAcrossItsEdges) {
  TempDir dir;
  std::mt19937 random(7);
  Bytes file(100000);
  std::generate(file.begin(), file.end(), [&] { return static_cast<std::uint8_t>(random()); });
  const std::string path = dir.Write("f.bin", file);
  MappedFile mapped;
  ASSERT_EQ(mapped.Open(path), platform::LockResult::Locked);
  const platform::MemoryMap view = mapped.TakeView();
  const auto body = std::span<const std::uint8_t>(view.Data(), file.size()).subspan(128);
  const BodyWindow window(view, body, 128, 1000);
  const auto expectAt = [&](std::size_t offset, std::size_t want) {
    const auto got = window.At(offset, want);
    ASSERT_GE(got.size(), std::min(want, body.size() - offset)) << offset;
    EXPECT_TRUE(std::equal(got.begin(), got.end(), file.begin() + 128 + offset)) << offset;
  };
  for (std::size_t offset = 0; offset < body.size(); offset += 1 + random() % 300) {
    expectAt(offset, 1 + random() % 200);
    if (random() % 8 == 0) {
      expectAt(offset - std::min<std::size_t>(offset, random() % 9000), 100);  // a step back
    }
  }
  expectAt(5, 900);  // back to the start
  EXPECT_FALSE(window.Failed());

#ifndef _WIN32  // there the loaded bytes are a copy, read before anyone could cut the file
  std::filesystem::resize_file(Utf8Path(path), 50000);
  const BodyWindow cut(view, body, 128, 1000);
  EXPECT_TRUE(cut.At(60000, 10).empty());
  EXPECT_TRUE(cut.Failed());
  EXPECT_TRUE(cut.At(10, 10).empty());
#endif
}

}  // namespace
}  // namespace runebin
