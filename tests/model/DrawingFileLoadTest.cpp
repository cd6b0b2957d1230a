#include <gtest/gtest.h>

#include "model/DrawingFile.h"
#include "model/NamedEntity.h"
#include "tests/support/DrawingBuilder.h"
#include "tests/support/TempDir.h"

namespace runebin {
namespace {

using namespace runebin::testing;

class DrawingFileLoad : public ::testing::Test {
 protected:
  TempDir dir;
  DrawingFile drawing{dir.Path("entities.txt")};
};

TEST_F(DrawingFileLoad, SortsTopLevelRecordsIntoThreeLists) {
  const auto path = dir.Write("a.pvx", Drawing({Reference("Tree"), TypeZero(3), Definition("Tree"),
                                                Record(7, Bytes(3, 0)), Reference("Tree")}));
  ASSERT_EQ(drawing.Load(path), 0);
  EXPECT_TRUE(drawing.IsLoaded());
  EXPECT_FALSE(drawing.IsModified());
  EXPECT_EQ(drawing.typeZeroEntities.GetSize(), 1);
  ASSERT_EQ(drawing.symbolDefs.GetSize(), 1);
  EXPECT_EQ(drawing.otherEntities.GetSize(), 3);
  EXPECT_EQ(drawing.symbolDefs.GetAt(0).AsNamed()->GetName(), "Tree");
  EXPECT_EQ(drawing.symbolDefs.GetAt(0).useCount, 2);
}

}  // namespace
}  // namespace runebin
