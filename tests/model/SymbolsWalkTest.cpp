// The walk of a symbols-only load reads records in the spans a small window hands out: wherever
// the window's edges fall, it finds what a walk over the bytes at hand finds.

#include "model/SymbolsWalk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "model/Format.h"
#include "model/MappedFile.h"
#include "tests/support/DrawingBuilder.h"
#include "tests/support/TempDir.h"

namespace runebin {
namespace {

using namespace runebin::testing;

// What the walk finds, one line each: what, where, and the name or the digest's bytes.
std::vector<std::string> Walked(const BodyWindow& window) {
  std::vector<std::string> found;
  SymbolsWalk walk(window);
  for (auto next = walk.Next(); next != SymbolsWalk::Found::End; next = walk.Next()) {
    std::string line = std::to_string(static_cast<int>(next)) + "@" + std::to_string(walk.Start());
    if (next == SymbolsWalk::Found::Reference) {
      line += " " + std::string(walk.Name());
    } else if (next == SymbolsWalk::Found::Group) {
      line += " " + std::string(walk.Digest().begin(), walk.Digest().end());
    }
    found.push_back(line);
  }
  return found;
}

TEST(SymbolsWalk, FindsTheSameWhereverTheWindowsEdgesFall) {
  std::vector<Bytes> records;
  for (int i = 0; i < 400; ++i) {
    const std::string name = "S" + std::to_string(i);
    // Sizes that make every record's head cross an edge somewhere; some larger than a window.
    records.push_back(Record(7, Bytes(static_cast<std::size_t>(i * 37 % 500), 1)));
    records.push_back(Reference(name, i % 5 == 0 ? 60 : 84));
    records.push_back(Definition(name, {Record(9, Bytes(i % 50 == 0 ? 20000 : 30, 2)),
                                        Reference("R" + name), Group(17, {Reference(name)})}));
    records.push_back(Group(18, {Record(3, Bytes(10, 3))}));
  }
  records.push_back(Definition("Open"));
  records.back().resize(records.back().size() - kMarkerLength);  // never closed: the tail
  records.push_back(Record(7));
  const Bytes file = Drawing(records);
  TempDir dir;
  const std::string path = dir.Write("w.pvx", file);
  MappedFile mapped;
  ASSERT_EQ(mapped.Open(path), platform::LockResult::Locked);
  const platform::MemoryMap view = mapped.TakeView();
  const auto body = std::span<const std::uint8_t>(view.Data(), file.size()).subspan(kHeaderSize);

  platform::MemoryMap memory;
  ASSERT_TRUE(memory.Allocate(body.size()));
  std::copy(body.begin(), body.end(), memory.Bytes().begin());
  const std::vector<std::string> expected = Walked(BodyWindow(memory, memory.Bytes(), kHeaderSize));
  ASSERT_EQ(expected.size(), 3 * 400 + 1U);  // references, definitions, groups, the tail
  EXPECT_EQ(expected.back(), "2@" + std::to_string(body.size() - records.back().size() -
                                                   records[records.size() - 2].size()));
  for (const std::size_t windowSize : {8192, 8192 + 37, 65536 + 5}) {
    EXPECT_EQ(Walked(BodyWindow(view, body, kHeaderSize, windowSize)), expected) << windowSize;
  }

#ifndef _WIN32  // there the loaded bytes are a copy, read before anyone could cut the file
  // A file cut short under the walk ends it; the window tells the load so.
  std::filesystem::resize_file(Utf8Path(path), file.size() / 2);
  const BodyWindow cut(view, body, kHeaderSize, 8192);
  const std::vector<std::string> walked = Walked(cut);
  EXPECT_TRUE(cut.Failed());
  ASSERT_FALSE(walked.empty());
  EXPECT_EQ(walked.back().substr(0, 2), "2@");
#endif
}

}  // namespace
}  // namespace runebin
