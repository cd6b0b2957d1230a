#include <gtest/gtest.h>

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
  EXPECT_EQ(drawing.Load(dir.Write("m.pvx", file)), LoadResult::Loaded);
  MemoryOutput out;
  EXPECT_TRUE(drawing.WriteTo(out));
  return out.written;
}

int EntityCount(const DrawingFile& drawing) {
  return drawing.TypeZeroEntities().GetSize() + drawing.SymbolDefs().GetSize() +
         drawing.OtherEntities().GetSize();
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
    EXPECT_EQ(drawing.SymbolDefs().GetSize(), 1);
    EXPECT_EQ(drawing.OtherEntities().GetAt(1).Length(), damage.size());
  }
}

TEST(MalformedBody, DamagedGroupInsideADefinitionMakesItPartOfTheTail) {
  Bytes inner = Record(3, Bytes(4, 0));
  PutU32(inner.data(), 2);  // would never advance
  const Bytes file = Drawing({Reference("X"), Definition("Bad", {inner}), Definition("Later")});
  TempDir dir;
  DrawingFile drawing("");
  EXPECT_EQ(LoadAndSave(dir, file, drawing), file);
  EXPECT_EQ(drawing.SymbolDefs().GetSize(), 0);
  EXPECT_EQ(drawing.OtherEntities().GetSize(), 2);
}

}  // namespace
}  // namespace runebin
