#include "symbols/SymbolCommands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <random>
#include <stdexcept>
#include <tuple>

#include "model/NamedEntity.h"
#include "symbols/Document.h"
#include "symbols/SortByName.h"
#include "tests/support/DrawingBuilder.h"
#include "tests/support/ExchangeSortReference.h"
#include "tests/support/TempDir.h"

namespace runebin {
namespace {

using namespace runebin::testing;

std::vector<std::string> Names(const DrawingFile& file) {
  std::vector<std::string> names;
  for (int i = 0; i < file.SymbolDefs().GetSize(); ++i) {
    names.push_back(file.SymbolDefs().GetAt(i).AsNamed()->GetName());
  }
  return names;
}

// The fast order must be the literal exchange sort's in every case. Equal values are where the
// two could part, so the lists (empty ones too) draw from few distinct values.
TEST(ExchangeSortOrder, MatchesTheLiteralSortOnRandomListsWithManyDuplicates) {
  std::mt19937 random(20240611);
  for (int round = 0; round < 4000; ++round) {
    const int size = std::uniform_int_distribution<int>(0, 40)(random);
    const int distinct = std::uniform_int_distribution<int>(1, 1 + size / 2)(random);
    std::vector<int> ranks(static_cast<std::size_t>(size));
    for (int& rank : ranks) {
      rank = std::uniform_int_distribution<int>(0, distinct - 1)(random);
    }
    ASSERT_EQ(ExchangeSortOrder(std::span<const int>(ranks)), LiteralExchangeSortOrder(ranks))
        << "round " << round;
  }
}

TEST(ExchangeSortOrder, ComparesNamesAsUnsignedBytes) {
  // Upper case before lower case, a prefix before its extensions, bytes above 127 last.
  const std::vector<std::string> names = {"b", "B", "\xE9t\xE9", "a", "A", "ab", "a"};
  const std::vector<int> order = ExchangeSortOrder(std::span<const std::string>(names));
  EXPECT_EQ(order, (std::vector<int>{4, 1, 3, 6, 5, 0, 2}));
}

// Up, Dn and Sort move whole definitions and mark the file; Sort only when out of order.
TEST(SymbolCommands, MovesAndSortMoveWholeDefinitionsAndMarkTheFile) {
  const Bytes b = Definition("b", {Reference("inner")}, {0, 0, 2, 2});
  const std::function<void(DrawingFile&)> moves[] = {
      [](DrawingFile& f) { MoveSymbolUp(f, 1); }, [](DrawingFile& f) { MoveSymbolDown(f, 0); },
      [](DrawingFile& f) { EXPECT_TRUE(SortSymbols(f)); }};
  for (const auto& move : moves) {
    LoadedDrawing file(Drawing({b, Definition("a")}));
    move(file);
    EXPECT_TRUE(file.IsModified());
    EXPECT_EQ(Written(file), Drawing({Definition("a"), b}));
    file.SetModified(false);
    EXPECT_FALSE(SortSymbols(file));
    EXPECT_FALSE(file.IsModified());
  }
}

// A move to a place is Up or Down repeated, whichever way and however far; to its own place it is
// no change at all.
TEST(SymbolCommands, MoveToAPlaceIsUpOrDownRepeated) {
  const Bytes original = Drawing(
      {Definition("a"), Definition("b", {Reference("a")}), Definition("c"), Definition("d")});
  for (int index = 0; index < 4; ++index) {
    for (int to = 0; to < 4; ++to) {
      LoadedDrawing moved(original), stepped(original);
      MoveSymbolTo(moved, index, to);
      for (int at = index; at > to; --at) {
        MoveSymbolUp(stepped, at);
      }
      for (int at = index; at < to; ++at) {
        MoveSymbolDown(stepped, at);
      }
      EXPECT_EQ(Written(moved), Written(stepped)) << index << " to " << to;
      EXPECT_EQ(moved.IsModified(), index != to);
    }
  }
}

// The window reports a bad index and relies on nothing having changed by then.
TEST(SymbolCommands, BadIndicesThrowBeforeAnythingChanges) {
  const Bytes original = Drawing({Definition("a"), Definition("b"), Reference("a")});
  LoadedDrawing file(original);
  EXPECT_THROW(MoveSymbolUp(file, 0), std::invalid_argument);
  EXPECT_THROW(MoveSymbolDown(file, 1), std::invalid_argument);
  EXPECT_THROW(MoveSymbolDown(file, -1), std::invalid_argument);
  EXPECT_THROW(MoveSymbolTo(file, 0, 2), std::invalid_argument);
  EXPECT_THROW(MoveSymbolTo(file, -1, 0), std::invalid_argument);
  EXPECT_THROW(RenameSymbol(file, 2, "x"), std::invalid_argument);
  EXPECT_THROW(DeleteSymbol(file, 2), std::invalid_argument);
  EXPECT_THROW(ReplaceSymbolWithCopy(file.SymbolDefs().GetAt(0), file, 2), std::invalid_argument);
  EXPECT_EQ(Written(file), original);
  EXPECT_FALSE(file.IsModified());
}

// A name places its last definition: renaming an earlier one of a repeated name leaves the
// references as they were; renaming the last one takes them along (which ones reach it is the
// model's to test). The new name is cut to 31 bytes; the file is marked even when nothing differs.
TEST(SymbolCommands, RenameTakesTheReferencesOnlyWithTheLastDefinition) {
  const auto drawing = [](const std::string& first, const std::string& second,
                          const std::string& placed) {
    return Drawing({Definition(first), Definition(second), Definition("Park", {Reference(placed)}),
                    Reference(placed), Group(17, {Reference(placed)})});
  };
  const std::string x31(31, 'x');
  for (const auto& [index, name, renamed, after] :
       {std::tuple{0, std::string("Oak"), 0, drawing("Oak", "Tree", "Tree")},
        std::tuple{1, std::string(40, 'x'), 3, drawing("Tree", x31, x31)},
        std::tuple{2, std::string("Park"), 0, drawing("Tree", "Tree", "Tree")}}) {
    LoadedDrawing file(drawing("Tree", "Tree", "Tree"));
    EXPECT_EQ(RenameSymbol(file, index, name), renamed);
    EXPECT_EQ(Written(file), after);
    EXPECT_TRUE(file.IsModified());
  }
}

TEST(SymbolCommands, CopiesCarryTheWholeGroupAndTheUseCount) {
  const Bytes tree = Definition("Tree", {Reference("Leaf")}, {0, 0, 4, 4});
  LoadedDrawing source(Drawing({tree, Reference("Tree"), Reference("Tree")}));
  LoadedDrawing target(Drawing({Definition("Elm"), Definition("Rock")}));
  const Entity& definition = source.SymbolDefs().GetAt(0);
  EXPECT_EQ(AppendSymbolCopy(definition, target), 2);
  ReplaceSymbolWithCopy(definition, target, 0);  // in place
  EXPECT_EQ(Written(target), Drawing({tree, Definition("Rock"), tree}));
  EXPECT_EQ(target.SymbolDefs().GetAt(0).useCount, 2);
  EXPECT_EQ(target.SymbolDefs().GetAt(2).useCount, 2);
  EXPECT_TRUE(target.IsModified());
  EXPECT_FALSE(source.IsModified());
}

// Delete Unused keeps whatever something left in the file places, and the survivors' order.
TEST(SymbolCommands, DeleteUnusedKeepsWhatKeptDefinitionsAndGroupsPlace) {
  struct Row {
    const char* what;
    std::vector<Bytes> records;
    std::vector<bool> kept;
    bool copied = false;  // the first definition carries a use count, as a copy does
  };
  const std::vector<Row> rows = {
      {"chains through definitions and groups; orphans and cycles go",
       {Definition("Leaf"), Definition("Branch", {Reference("Leaf")}),
        Definition("Tree", {Group(18, {Reference("Branch")})}), Definition("Stone"),
        Definition("Moss"), Definition("Orphan", {Reference("Moss")}),
        Definition("Cycle1", {Reference("Cycle2")}), Definition("Cycle2", {Reference("Cycle1")}),
        Reference("Tree"), Group(17, {Reference("Stone")})},
       {true, true, true, true, false, false, false, false}},
      {"a name leads to its last definition",
       {Definition("Leaf"), Definition("Leaf"), Definition("Tree", {Reference("Leaf")}),
        Reference("Tree")},
       {false, true, true}},
      {"a copy is judged by its carried count",
       {Definition("a"), Definition("b")},
       {true, false},
       true},
      {"nothing unused leaves the file unmarked", {Definition("a"), Reference("a")}, {true}},
      {"a file without symbols has nothing to delete", {Reference("a")}, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    LoadedDrawing file(Drawing(row.records));
    if (row.copied) {
      file.SymbolDefs().GetAt(0).useCount = 4;
    }
    std::vector<std::string> survivors;
    for (std::size_t i = 0; i < row.kept.size(); ++i) {
      if (row.kept[i]) {
        survivors.push_back(Names(file)[i]);
      }
    }
    EXPECT_EQ(SymbolsInUse(file), row.kept);
    const auto deleted = static_cast<int>(row.kept.size() - survivors.size());
    EXPECT_EQ(DeleteUnusedSymbols(file), deleted);
    EXPECT_EQ(file.IsModified(), deleted > 0);
    EXPECT_EQ(Names(file), survivors);
  }
}

// Another program between load and write-back: while a document holds its file locked a second
// one cannot open it; a file replaced all the same (by a program that ignores locks, or after the
// window let go) is only overwritten when the caller says so.
TEST(Document, NeverOverwritesAFileReplacedSinceItWasLoadedUnlessTold) {
  TempDir dir;
  const Bytes theirs = Drawing({Definition("Theirs")});
  for (const auto lock :
       {Document::Lock::WhileLoading, Document::Lock::UntilWritten, Document::Lock::UntilClosed}) {
    const std::string path = dir.Write("f.pvx", Drawing({Definition("B"), Definition("A")}));
    Document document("");
    ASSERT_EQ(document.Open(path, false, lock), LoadResult::Loaded);
    Document second("");
    EXPECT_EQ(second.Open(path, false, Document::Lock::WhileLoading),
              lock == Document::Lock::WhileLoading ? LoadResult::Loaded : LoadResult::InUse);
    SortSymbols(document.Drawing());
    std::error_code replaced;
    std::filesystem::rename(Utf8Path(dir.Write("theirs.pvx", theirs)), Utf8Path(path), replaced);
#ifdef _WIN32
    // Windows enforces the hold: no program can replace the file while the document holds it.
    if (lock != Document::Lock::WhileLoading) {
      EXPECT_TRUE(replaced);
      continue;
    }
#endif
    ASSERT_FALSE(replaced) << replaced.message();
    EXPECT_EQ(document.WriteBack().result, SaveResult::ChangedOnDisk);
    EXPECT_EQ(ReadFileBytes(path), theirs);
    EXPECT_TRUE(document.WriteBack(std::nullopt, Document::IfChanged::Overwrite).Saved());
    EXPECT_EQ(ReadFileBytes(path), Drawing({Definition("A"), Definition("B")}));
  }
}

// A write-back that would put back the bytes the file has leaves the file alone (the same file, not
// written since), judged by the file itself: a rename writes into the loaded bytes, and a record
// edited or moved and then put back still counts as the file's.
TEST(Document, WritesBackOnlyBytesThatDiffer) {
  TempDir dir;
  const Bytes original =
      Drawing({Definition("Tree", {Reference("Tree")}), Definition("Bush"), Reference("Tree")});
  const struct {
    const char* label;
    std::function<void(DrawingFile&)> change;
    bool written;
  } cases[] = {
      {"same name", [](DrawingFile& d) { RenameSymbol(d, 0, "Tree"); }, false},
      {"new name", [](DrawingFile& d) { RenameSymbol(d, 0, "Tref"); }, true},
      {"renamed back",
       [](DrawingFile& d) {
         RenameSymbol(d, 0, "Tref");
         RenameSymbol(d, 0, "Tree");
       },
       false},
      {"swapped", [](DrawingFile& d) { d.SwapSymbols(0, 1); }, true},
      {"swapped back",
       [](DrawingFile& d) {
         d.SwapSymbols(0, 1);
         d.SwapSymbols(0, 1);
       },
       false},
  };
  for (const auto& test : cases) {
    const std::string path = dir.Write("f.pvx", original);
    const std::optional<platform::FileIdentity> before = platform::IdentityOfPath(path);
    Document document("");
    ASSERT_EQ(document.Open(path, false, Document::Lock::UntilWritten), LoadResult::Loaded);
    test.change(document.Drawing());
    EXPECT_TRUE(document.WriteBack().Saved());
    EXPECT_FALSE(document.Drawing().IsModified());
    EXPECT_EQ(platform::IdentityOfPath(path) == before, !test.written) << test.label;
    EXPECT_EQ(ReadFileBytes(path) == original, !test.written) << test.label;
  }
}

}  // namespace
}  // namespace runebin
