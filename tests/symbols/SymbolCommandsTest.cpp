#include "symbols/SymbolCommands.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "model/NamedEntity.h"
#include "tests/support/DrawingBuilder.h"
#include "tests/support/TempDir.h"

namespace runebin {
namespace {

using namespace runebin::testing;

class SymbolFile : public ::testing::Test {
 protected:
  DrawingFile& Load(const std::vector<Bytes>& records) {
    EXPECT_EQ(file.Load(dir.Write("file.pvx", Drawing(records))), 0);
    return file;
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (int i = 0; i < file.symbolDefs.GetSize(); ++i) {
      names.push_back(file.symbolDefs.GetAt(i).AsNamed()->GetName());
    }
    return names;
  }
  // The names of the top-level references, in file order.
  std::vector<std::string> ReferenceNames() const {
    std::vector<std::string> names;
    for (int i = 0; i < file.otherEntities.GetSize(); ++i) {
      if (const NamedEntity* named = file.otherEntities.GetAt(i).AsNamed()) {
        names.push_back(named->GetName());
      }
    }
    return names;
  }

  TempDir dir;
  DrawingFile file{dir.Path("entities.txt")};
};

using SymbolOrder = SymbolFile;

// The window reports these; it relies on nothing having changed by then.
TEST_F(SymbolOrder, BadIndicesThrowBeforeAnythingChanges) {
  Load({Definition("a"), Definition("b"), Reference("a")});
  EXPECT_THROW(MoveSymbolUp(file, 0), std::invalid_argument);
  EXPECT_THROW(MoveSymbolDown(file, 1), std::invalid_argument);
  EXPECT_THROW(MoveSymbolDown(file, -1), std::invalid_argument);
  EXPECT_THROW(RenameSymbol(file, 2, "x"), std::invalid_argument);
  EXPECT_THROW(DeleteSymbol(file, 2), std::invalid_argument);
  EXPECT_THROW(ReplaceSymbolWithCopy(file.symbolDefs.GetAt(0), file, 2), std::invalid_argument);
  EXPECT_EQ(Names(), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(ReferenceNames(), (std::vector<std::string>{"a"}));
  EXPECT_FALSE(file.IsModified());
}

using SymbolRename = SymbolFile;

TEST_F(SymbolRename, RenamesTopLevelAndNestedReferencesOfExactlyThatName) {
  Load({Definition("Tree"), Definition("Park", {Reference("Tree"), Reference("tree")}),
        Reference("Tree"), Reference("TREE"), Group(17, {Reference("Tree")}), Reference("Tree")});
  EXPECT_EQ(RenameSymbol(file, 0, "Oak"), 4);
  EXPECT_EQ(Names(), (std::vector<std::string>{"Oak", "Park"}));
  EXPECT_EQ(ReferenceNames(), (std::vector<std::string>{"Oak", "TREE", "Oak"}));
  EXPECT_EQ(file.symbolDefs.GetAt(1).NestedReferenceNames(),
            (std::vector<std::string>{"Oak", "tree"}));
  EXPECT_EQ(file.otherEntities.GetAt(2).NestedReferenceNames(), (std::vector<std::string>{"Oak"}));
  EXPECT_EQ(file.symbolDefs.GetAt(0).useCount, 2);  // counts are not redone
}

TEST_F(SymbolRename, LongNamesAreCutTo31Bytes) {
  Load({Definition("Tree"), Reference("Tree")});
  const std::string longName(40, 'x');
  RenameSymbol(file, 0, longName);
  EXPECT_EQ(Names(), (std::vector<std::string>{std::string(31, 'x')}));
  EXPECT_EQ(ReferenceNames(), (std::vector<std::string>{std::string(31, 'x')}));
}

using SymbolCopy = SymbolFile;

TEST_F(SymbolCopy, AppendCarriesBytesAndUseCount) {
  Load({Definition("Tree", {Reference("Leaf")}), Reference("Tree"), Reference("Tree")});
  DrawingFile target{""};
  ASSERT_EQ(target.Load(dir.Write("target.pvx", Drawing({Definition("tree")}))), 0);
  const Entity& source = file.symbolDefs.GetAt(0);
  EXPECT_EQ(AppendSymbolCopy(source, target), 1);
  const Entity& copy = target.symbolDefs.GetAt(1);
  EXPECT_EQ(copy.useCount, 2);
  EXPECT_EQ(Bytes(copy.Bytes().begin(), copy.Bytes().end()),
            Definition("Tree", {Reference("Leaf")}));
  EXPECT_TRUE(target.IsModified());
  EXPECT_FALSE(file.IsModified());
}

using SymbolDelete = SymbolFile;

TEST_F(SymbolDelete, UnusedKeepsWhatKeptDefinitionsAndGroupsPlace) {
  Load({Definition("Leaf"), Definition("Branch", {Reference("Leaf")}),
        Definition("Tree", {Group(18, {Reference("Branch")})}), Definition("Stone"),
        Definition("Moss"), Definition("Orphan", {Reference("Moss")}),
        Definition("Cycle1", {Reference("Cycle2")}), Definition("Cycle2", {Reference("Cycle1")}),
        Reference("Tree"), Group(17, {Reference("Stone")})});
  EXPECT_EQ(SymbolsInUse(file),
            (std::vector<bool>{true, true, true, true, false, false, false, false}));
  EXPECT_EQ(DeleteUnusedSymbols(file), 4);
  EXPECT_EQ(Names(), (std::vector<std::string>{"Leaf", "Branch", "Tree", "Stone"}));
}

TEST_F(SymbolDelete, UnusedNamesLeadToTheLastDefinitionOfThatName) {
  Load({Definition("Leaf"), Definition("Leaf"), Definition("Tree", {Reference("Leaf")}),
        Reference("Tree")});
  EXPECT_EQ(SymbolsInUse(file), (std::vector<bool>{false, true, true}));
}

TEST_F(SymbolDelete, UnusedJudgesCopiesByTheirCarriedCount) {
  Load({Definition("a"), Definition("b")});
  file.symbolDefs.GetAt(0).useCount = 4;  // as a copy from another file carries it
  EXPECT_EQ(DeleteUnusedSymbols(file), 1);
  EXPECT_EQ(Names(), (std::vector<std::string>{"a"}));
}

}  // namespace
}  // namespace runebin
