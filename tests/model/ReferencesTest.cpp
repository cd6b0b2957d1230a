#include <gtest/gtest.h>

#include "model/DrawingFile.h"
#include "model/NamedEntity.h"
#include "tests/support/DrawingBuilder.h"
#include "tests/support/TempDir.h"

namespace runebin {
namespace {

using namespace runebin::testing;

class DrawingFileReferences : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(
        drawing.Load(dir.Write(
            "r.pvx", Drawing({Definition("Tree"), Definition("Park", {Reference("Tree")}),
                              Reference("Tree"), Reference("tree"), Reference("Tree"),
                              Group(18, {Group(17, {Reference("Tree")})}), Reference("Oak")}))),
        LoadResult::Loaded);
  }

  std::vector<std::string> TopLevelReferenceNames() {
    std::vector<std::string> names;
    for (int i = 0; i < drawing.OtherEntities().GetSize(); ++i) {
      if (const auto* named = drawing.OtherEntities().GetAt(i).AsNamed()) {
        names.push_back(named->GetName());
      }
    }
    return names;
  }

  TempDir dir;
  DrawingFile drawing{""};
};

TEST_F(DrawingFileReferences, RenameReachesNestedReferencesOfExactlyThatName) {
  EXPECT_EQ(drawing.RenameReferences("Tree", "Birch"), 4);
  EXPECT_TRUE(drawing.IsModified());
  EXPECT_EQ(TopLevelReferenceNames(), (std::vector<std::string>{"Birch", "tree", "Birch", "Oak"}));
  EXPECT_EQ(drawing.SymbolDefs().GetAt(1).NestedReferenceNames(),
            std::vector<std::string>{"Birch"});
  EXPECT_EQ(drawing.OtherEntities().GetAt(3).NestedReferenceNames(),
            std::vector<std::string>{"Birch"});
  // Definitions are not references: the Tree definition keeps its name.
  EXPECT_EQ(drawing.SymbolDefs().GetAt(0).AsNamed()->GetName(), "Tree");
  EXPECT_EQ(drawing.SymbolDefs().GetAt(0).useCount, 2);  // counts are not redone
}

TEST_F(DrawingFileReferences, RenameCutsLongNamesTo31Bytes) {
  EXPECT_EQ(drawing.RenameReferences("Oak", std::string(40, 'q')), 1);
  EXPECT_EQ(TopLevelReferenceNames().back(), std::string(31, 'q'));
}

TEST_F(DrawingFileReferences, RemoveTakesOnlyTopLevelReferences) {
  EXPECT_EQ(drawing.RemoveReferences("Tree"), 2);
  EXPECT_TRUE(drawing.IsModified());
  EXPECT_EQ(TopLevelReferenceNames(), (std::vector<std::string>{"tree", "Oak"}));
  EXPECT_EQ(drawing.SymbolDefs().GetAt(1).NestedReferenceNames(), std::vector<std::string>{"Tree"});
}

TEST_F(DrawingFileReferences, FindingNothingLeavesTheFlagAlone) {
  EXPECT_EQ(drawing.RenameReferences("Elm", "Ash"), 0);
  EXPECT_EQ(drawing.RemoveReferences("TREE"), 0);
  EXPECT_FALSE(drawing.IsModified());
}

}  // namespace
}  // namespace runebin
