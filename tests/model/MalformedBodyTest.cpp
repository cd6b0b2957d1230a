#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

#include "model/ByteOrder.h"
#include "model/DrawingFile.h"
#include "model/Format.h"
#include "tests/support/DrawingBuilder.h"
#include "tests/support/TempDir.h"

namespace runebin {
namespace {

using namespace runebin::testing;

// Loads `file` and returns what saving it unchanged writes (in memory: Save writes the same).
Bytes LoadAndSave(const TempDir& dir, const Bytes& file, DrawingFile& drawing) {
  EXPECT_EQ(drawing.Load(dir.Write("m.pvx", file)), 0);
  MemoryOutput out;
  EXPECT_TRUE(drawing.WriteTo(out));
  return out.written;
}

int EntityCount(const DrawingFile& drawing) {
  return drawing.typeZeroEntities.GetSize() + drawing.symbolDefs.GetSize() +
         drawing.otherEntities.GetSize();
}

// Every damaged body keeps all its bytes, in place: the readable records in front become
// entities and the rest travels as one block at the end.
TEST(MalformedBody, UnreadableRestIsCarriedWhole) {
  Bytes shortLength = Record(7, Bytes(6, 1));
  PutU32(shortLength.data(), 3);
  Bytes zeroLength = Record(7, Bytes(6, 1));
  PutU32(zeroLength.data(), 0);
  Bytes negative = Record(7, Bytes(6, 1));
  PutU32(negative.data(), 0xFFFFFFF0u);
  Bytes pastEnd = Record(7, Bytes(6, 1));
  PutU32(pastEnd.data(), 1000);
  Bytes unclosed = Definition("Open");
  unclosed.resize(unclosed.size() - kMarkerLength);  // no GroupClose
  const Bytes threeBytes = {1, 2, 3};
  const Bytes deepUnclosed =
      Join({Record(17, Bytes(3, 0)), GroupOpen(), GroupOpen(), GroupClose()});

  TempDir dir;
  for (const Bytes& damage :
       {shortLength, zeroLength, negative, pastEnd, unclosed, threeBytes, deepUnclosed}) {
    DrawingFile drawing("");
    const Bytes file = Drawing({TypeZero(1), Definition("A"), Reference("A"), damage});
    EXPECT_EQ(LoadAndSave(dir, file, drawing), file);
    EXPECT_EQ(EntityCount(drawing), 4);
    EXPECT_EQ(drawing.symbolDefs.GetSize(), 1);
    EXPECT_EQ(drawing.otherEntities.GetAt(1).Length(), damage.size());
  }
}

TEST(MalformedBody, DamagedGroupInsideADefinitionMakesItPartOfTheTail) {
  Bytes inner = Record(3, Bytes(4, 0));
  PutU32(inner.data(), 2);  // would never advance
  const Bytes file = Drawing({Reference("X"), Definition("Bad", {inner}), Definition("Later")});
  TempDir dir;
  DrawingFile drawing("");
  EXPECT_EQ(LoadAndSave(dir, file, drawing), file);
  EXPECT_EQ(drawing.symbolDefs.GetSize(), 0);
  EXPECT_EQ(drawing.otherEntities.GetSize(), 2);
}

// Random files, well formed and damaged: loading never fails on the body, every byte of the body
// lands in exactly one entity, and a second load and save gives the same bytes again.
TEST(MalformedBody, RandomFilesKeepEveryByte) {
  std::mt19937 random(20261207);
  TempDir dir;
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  std::function<Bytes(int)> randomRecord = [&](int depth) -> Bytes {
    switch (pick(depth > 2 ? 5 : 8)) {
      case 0:
        return TypeZero(static_cast<std::uint8_t>(pick(256)), static_cast<std::size_t>(pick(8)));
      case 1:
        return Reference(
            std::string(static_cast<std::size_t>(pick(4)), 'a' + static_cast<char>(pick(3))),
            static_cast<std::size_t>(40 + pick(60)));
      case 2:
        return Record(static_cast<std::uint8_t>(pick(256)),
                      Bytes(static_cast<std::size_t>(pick(20)), 9));
      case 3:
        return pick(2) ? GroupOpen() : GroupClose();
      case 4:
        return Record(static_cast<std::uint8_t>(2 + pick(250)));
      default: {
        std::vector<Bytes> content;
        for (int i = pick(4); i > 0; --i) {
          content.push_back(randomRecord(depth + 1));
        }
        return pick(2) ? Definition("d" + std::to_string(pick(3)), content, {},
                                    static_cast<std::size_t>(20 + pick(80)))
                       : Group(static_cast<std::uint8_t>(17 + pick(2)), content);
      }
    }
  };
  for (int round = 0; round < 300; ++round) {
    std::vector<Bytes> records;
    for (int i = pick(12); i > 0; --i) {
      records.push_back(randomRecord(0));
    }
    Bytes file = Drawing(records);
    if (round % 2 == 1 && file.size() > kHeaderSize) {
      // Damage: flip bytes and cut the end.
      for (int flips = 1 + pick(3); flips > 0; --flips) {
        file[kHeaderSize +
             static_cast<std::size_t>(pick(static_cast<int>(file.size() - kHeaderSize)))] ^=
            static_cast<std::uint8_t>(1 + pick(255));
      }
      file.resize(kHeaderSize +
                  static_cast<std::size_t>(pick(static_cast<int>(file.size() - kHeaderSize) + 1)));
    }
    DrawingFile drawing("");
    const Bytes once = LoadAndSave(dir, file, drawing);
    ASSERT_EQ(once.size(), std::max(file.size(), kHeaderSize)) << "round " << round;
    Bytes sortedIn(file.begin(), file.end()), sortedOut(once.begin(), once.end());
    std::sort(sortedIn.begin(), sortedIn.end());
    std::sort(sortedOut.begin(), sortedOut.end());
    ASSERT_EQ(sortedIn, sortedOut) << "round " << round;
    ASSERT_EQ(static_cast<std::size_t>(EntityCount(drawing)), drawing.LoadedListing().size());
    DrawingFile again("");
    ASSERT_EQ(LoadAndSave(dir, once, again), once) << "round " << round;
  }
}

}  // namespace
}  // namespace runebin
