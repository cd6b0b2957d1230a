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
  Bytes Saved() {
    const std::string path = dir.Path("saved.pvx");
    EXPECT_EQ(file.Save(path), 0);
    return ReadFileBytes(path);
  }

  TempDir dir;
  DrawingFile file{dir.Path("entities.txt")};
};

using SymbolOrder = SymbolFile;

TEST_F(SymbolOrder, MovesExchangeNeighboursAndMarkTheFile) {
  Load({Definition("a"), Definition("b"), Definition("c")});
  MoveSymbolUp(file, 2);
  EXPECT_EQ(Names(), (std::vector<std::string>{"a", "c", "b"}));
  EXPECT_TRUE(file.IsModified());
  MoveSymbolDown(file, 0);
  EXPECT_EQ(Names(), (std::vector<std::string>{"c", "a", "b"}));
}

TEST_F(SymbolOrder, MovesPastTheEndsThrowWithoutChangingAnything) {
  Load({Definition("a"), Definition("b")});
  EXPECT_THROW(MoveSymbolUp(file, 0), std::invalid_argument);
  EXPECT_THROW(MoveSymbolDown(file, 1), std::invalid_argument);
  EXPECT_THROW(MoveSymbolDown(file, -1), std::invalid_argument);
  EXPECT_EQ(Names(), (std::vector<std::string>{"a", "b"}));
  EXPECT_FALSE(file.IsModified());
}

TEST_F(SymbolOrder, SortMarksTheFileOnlyWhenSomethingMoved) {
  Load({Definition("A"), Definition("B")});
  EXPECT_FALSE(SortSymbols(file));
  EXPECT_FALSE(file.IsModified());
  MoveSymbolDown(file, 0);
  file.SetModified(false);
  EXPECT_TRUE(SortSymbols(file));
  EXPECT_TRUE(file.IsModified());
  EXPECT_EQ(Names(), (std::vector<std::string>{"A", "B"}));
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

TEST_F(SymbolRename, SameNameStillMarksTheFileAndCountsItsReferences) {
  Load({Definition("Tree"), Reference("Tree")});
  EXPECT_EQ(RenameSymbol(file, 0, "Tree"), 1);
  EXPECT_TRUE(file.IsModified());
}

TEST_F(SymbolRename, UnreferencedSymbolIsRenamedAndMarked) {
  Load({Definition("Tree")});
  EXPECT_EQ(RenameSymbol(file, 0, ""), 0);
  EXPECT_EQ(Names(), (std::vector<std::string>{""}));
  EXPECT_TRUE(file.IsModified());
}

TEST_F(SymbolRename, LongNamesAreCutTo31Bytes) {
  Load({Definition("Tree"), Reference("Tree")});
  const std::string longName(40, 'x');
  RenameSymbol(file, 0, longName);
  EXPECT_EQ(Names(), (std::vector<std::string>{std::string(31, 'x')}));
  EXPECT_EQ(ReferenceNames(), (std::vector<std::string>{std::string(31, 'x')}));
}

TEST_F(SymbolRename, BadIndexThrowsBeforeAnyChange) {
  Load({Definition("Tree")});
  EXPECT_THROW(RenameSymbol(file, 1, "Oak"), std::invalid_argument);
  EXPECT_FALSE(file.IsModified());
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

TEST_F(SymbolCopy, ReplaceKeepsThePlace) {
  Load({Definition("a"), Definition("Tree", {}, {0, 0, 1, 1}), Definition("z")});
  DrawingFile source{""};
  ASSERT_EQ(source.Load(dir.Write("source.pvx",
                                  Drawing({Definition("Tree", {}, {0, 0, 5, 5}), Reference("Tree"),
                                           Reference("Tree"), Reference("Tree")}))),
            0);
  ReplaceSymbolWithCopy(source.symbolDefs.GetAt(0), file, 1);
  EXPECT_EQ(Names(), (std::vector<std::string>{"a", "Tree", "z"}));
  EXPECT_EQ(file.symbolDefs.GetAt(1).useCount, 3);
  EXPECT_EQ(Saved(),
            Drawing({Definition("a"), Definition("Tree", {}, {0, 0, 5, 5}), Definition("z")}));
}

using SymbolDelete = SymbolFile;

TEST_F(SymbolDelete, DeleteKeepsTheReferences) {
  Load({Definition("a"), Definition("Tree"), Reference("Tree")});
  EXPECT_EQ(DeleteSymbol(file, 1), "Tree");
  EXPECT_EQ(Names(), (std::vector<std::string>{"a"}));
  EXPECT_EQ(ReferenceNames(), (std::vector<std::string>{"Tree"}));
  EXPECT_TRUE(file.IsModified());
  EXPECT_THROW(DeleteSymbol(file, 1), std::invalid_argument);
}

TEST_F(SymbolDelete, UnusedRuleWithoutNestingIsTheUseCount) {
  Load({Definition("u1"), Definition("u2"), Definition("u3"), Definition("used"), Definition("u4"),
        Reference("used")});
  EXPECT_EQ(DeleteUnusedSymbols(file), 4);  // adjacent unused definitions are all found
  EXPECT_EQ(Names(), (std::vector<std::string>{"used"}));
  EXPECT_TRUE(file.IsModified());
}

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

TEST_F(SymbolDelete, NothingUnusedLeavesTheFileUnmarked) {
  Load({Definition("a"), Reference("a")});
  EXPECT_EQ(DeleteUnusedSymbols(file), 0);
  EXPECT_FALSE(file.IsModified());
  DrawingFile empty{""};
  EXPECT_EQ(DeleteUnusedSymbols(empty), 0);
}

}  // namespace
}  // namespace runebin
