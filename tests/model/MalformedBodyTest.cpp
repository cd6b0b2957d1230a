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
  // A record whose length field says `length`: below a record's 5 bytes, wrapping, past the end.
  const auto withLength = [](std::uint32_t length) {
    Bytes record = Record(7, Bytes(6, 1));
    PutU32(record.data(), length);
    return record;
  };
  Bytes unclosed = Definition("Open");
  unclosed.resize(unclosed.size() - kMarkerLength);  // no GroupClose
  const Bytes threeBytes = {1, 2, 3};
  const Bytes deepUnclosed =
      Join({Record(17, Bytes(3, 0)), GroupOpen(), GroupOpen(), GroupClose()});

  TempDir dir;
  for (const Bytes& damage : {withLength(3), withLength(0xFFFFFFF0u), withLength(1000), unclosed,
                              threeBytes, deepUnclosed}) {
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
