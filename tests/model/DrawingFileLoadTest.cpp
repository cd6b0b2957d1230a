#include <gtest/gtest.h>

#include "model/DrawingFile.h"
#include "model/EntityListing.h"
#include "model/NamedEntity.h"
#include "tests/support/DrawingBuilder.h"
#include "tests/support/TempDir.h"

namespace runebin {
namespace {

using namespace runebin::testing;

class DrawingFileLoad : public ::testing::Test {
 protected:
  std::string NameAt(int index) { return drawing.SymbolDefs().GetAt(index).AsNamed()->GetName(); }

  TempDir dir;
  DrawingFile drawing{dir.Path("entities.txt")};
};

TEST_F(DrawingFileLoad, SortsTopLevelRecordsIntoThreeLists) {
  const auto path = dir.Write("a.pvx", Drawing({Reference("Tree"), TypeZero(3), Definition("Tree"),
                                                Record(7, Bytes(3, 0)), Reference("Tree")}));
  ASSERT_EQ(drawing.Load(path), LoadResult::Loaded);
  EXPECT_TRUE(drawing.IsLoaded());
  EXPECT_FALSE(drawing.IsModified());
  EXPECT_EQ(drawing.TypeZeroEntities().GetSize(), 1);
  ASSERT_EQ(drawing.SymbolDefs().GetSize(), 1);
  EXPECT_EQ(drawing.OtherEntities().GetSize(), 3);
  EXPECT_EQ(NameAt(0), "Tree");
  EXPECT_EQ(drawing.SymbolDefs().GetAt(0).useCount, 2);
}

// The header's checks in order, the first failing one deciding; missing header bytes read as
// zero. Each load follows a good one, whose content goes even when the next load is refused.
TEST_F(DrawingFileLoad, ChecksTheHeaderInOrder) {
  const Bytes valid = Drawing({Definition("A")});
  const auto changed = [&](std::size_t size, std::size_t offset, std::uint8_t value) {
    Bytes file = valid;
    file.resize(size);
    file[offset] = value;
    return file;
  };
  const std::pair<Bytes, LoadResult> cases[] = {
      {changed(valid.size(), 25, 'x'), LoadResult::Loaded},  // byte 25 is not examined
      {changed(valid.size(), 0, 'p'), LoadResult::NotDrawing},
      {changed(valid.size(), 24, ' '), LoadResult::NotDrawing},
      {changed(valid.size(), 26, '5'), LoadResult::WrongVersion},
      {changed(valid.size(), 26, ' '), LoadResult::WrongVersion},
      {changed(valid.size(), 48, 1), LoadResult::Compressed},
      {changed(49, 48, 0), LoadResult::Loaded},
      {changed(40, 26, '6'), LoadResult::Loaded},     // the compressed flag reads as zero
      {changed(20, 0, 'P'), LoadResult::NotDrawing},  // the signature is cut
      {changed(128, 26, '5'), LoadResult::WrongVersion},
      {[] {
         Bytes file = Header('5', 1);
         file[0] = 'Q';
         return file;
       }(),
       LoadResult::NotDrawing},
      {Header('5', 1), LoadResult::WrongVersion},
  };
  for (const auto& [file, expected] : cases) {
    ASSERT_EQ(drawing.Load(dir.Write("a.pvx", Drawing({Definition("A"), Definition("B")}))),
              LoadResult::Loaded);
    drawing.SetModified(true);
    EXPECT_EQ(drawing.Load(dir.Write("h.pvx", file)), expected) << file.size();
    EXPECT_EQ(drawing.IsLoaded(), expected == LoadResult::Loaded);
    EXPECT_FALSE(drawing.IsModified());
    EXPECT_EQ(drawing.SymbolDefs().GetSize(),
              expected == LoadResult::Loaded && file.size() > 128 ? 1 : 0);
    EXPECT_EQ(drawing.Header().size(), expected == LoadResult::Loaded ? 128U : 0U);
  }
}

TEST_F(DrawingFileLoad, RefusesMissingEmptyAndLockedFiles) {
  EXPECT_EQ(drawing.Load(dir.Path("missing.pvx")), LoadResult::OpenFailed);
  EXPECT_EQ(drawing.Load(dir.Write("empty.pvx", {})), LoadResult::OpenFailed);
  EXPECT_EQ(drawing.Load(dir.Path("")), LoadResult::OpenFailed);  // the folder itself

  const auto path = dir.Write("locked.pvx", Drawing({}));
  {
    const FileHeldElsewhere other(path);
    ASSERT_TRUE(other.Holds());
    EXPECT_EQ(drawing.Load(path), LoadResult::InUse);
  }
  EXPECT_EQ(drawing.Load(path), LoadResult::Loaded);
}

TEST_F(DrawingFileLoad, CountsUsesOnTheLastDefinitionOfAName) {
  const auto path =
      dir.Write("uses.pvx",
                Drawing({Definition("Oak"), Reference("Oak"), Definition("Oak", {Reference("Elm")}),
                         Definition("Elm"), Reference("Oak"), Reference("oak"),
                         Reference("Nowhere"), Group(17, {Reference("Elm")})}));
  ASSERT_EQ(drawing.Load(path), LoadResult::Loaded);
  ASSERT_EQ(drawing.SymbolDefs().GetSize(), 3);
  EXPECT_EQ(drawing.SymbolDefs().GetAt(0).useCount, 0);  // the earlier Oak keeps 0
  EXPECT_EQ(drawing.SymbolDefs().GetAt(1).useCount, 2);  // case matters: "oak" is not Oak
  EXPECT_EQ(drawing.SymbolDefs().GetAt(2).useCount, 0);  // nested references are not counted
  EXPECT_EQ(drawing.OtherEntities().GetSize(), 5);       // the unmatched reference stays
}

TEST_F(DrawingFileLoad, GroupEndsAtTheMarkerThatClosesTheOuterLevel) {
  const Bytes nested = Definition("Outer", {Record(3, Bytes(10, 0)), GroupOpen(), Record(9),
                                            Record(0xAA), GroupClose(), Reference("X")});
  const Bytes marker42 = Record(42);  // a 5-byte record of another type inside a group
  const Bytes withStray = Definition("Stray", {marker42});
  const Bytes definition = Definition("Bare");
  const Bytes bare(definition.begin(), definition.begin() + 88);  // the record without its group
  const Bytes directClose = Join({bare, GroupClose()});
  ASSERT_EQ(
      drawing.Load(dir.Write("g.pvx", Drawing({nested, withStray, directClose, TypeZero(1)}))),
      LoadResult::Loaded);
  ASSERT_EQ(drawing.SymbolDefs().GetSize(), 3);
  EXPECT_EQ(drawing.SymbolDefs().GetAt(0).Length(), nested.size());
  EXPECT_EQ(drawing.SymbolDefs().GetAt(1).Length(), withStray.size());
  EXPECT_EQ(drawing.SymbolDefs().GetAt(2).Length(), directClose.size());
  EXPECT_EQ(drawing.TypeZeroEntities().GetSize(), 1);
}

TEST_F(DrawingFileLoad, StrayMarkersAtTopLevelAreOrdinaryRecords) {
  ASSERT_EQ(drawing.Load(dir.Write("m.pvx", Drawing({GroupOpen(), GroupClose(), Record(42)}))),
            LoadResult::Loaded);
  EXPECT_EQ(drawing.TypeZeroEntities().GetSize(), 1);
  EXPECT_EQ(drawing.OtherEntities().GetSize(), 2);
}

// Loads in a row into one listing file: each load that succeeds replaces it whole, a refused one
// leaves it alone. An unreadable tail has a row of its own, typed by its fifth byte.
TEST_F(DrawingFileLoad, WritesTheEntityListingAtEveryLoad) {
  Bytes damaged = Record(7, Bytes(6, 1));
  damaged[0] = 3;
  const std::string heading = "     #      Type   SubType\n";
  const std::string four = heading +
                           "     0         0         3\n"
                           "     1        28         0\n"
                           "     2         0         0\n"
                           "     3        29         0\n";
  const std::pair<Bytes, std::string> loads[] = {
      {Drawing({TypeZero(3), Definition("A"), Record(0, {}), Reference("A")}), four},
      {Header('7'), four},
      {Header(), heading},
      {Drawing({TypeZero(1, 0), damaged}),
       heading + "     0         0         1\n     1         7         0\n"},
      {Drawing({TypeZero(1, 0), Bytes{1, 2, 3}}),
       heading + "     0         0         1\n     1         0         0\n"},
  };
  for (auto [file, listing] : loads) {
    drawing.Load(dir.Write("l.pvx", file));
    const Bytes written = ReadFileBytes(dir.Path("entities.txt"));
#ifdef _WIN32
    // A text file, with the system's line ends.
    for (auto at = listing.find('\n'); at != std::string::npos; at = listing.find('\n', at + 2)) {
      listing.insert(at, "\r");
    }
#endif
    EXPECT_EQ(std::string(written.begin(), written.end()), listing);
  }
}

// Past a million the index overflows its six columns; long listings are written in chunks.
TEST(EntityListing, MillionsOfRowsInPrintfsFormat) {
  std::vector<ListingRow> rows(1'000'002);
  std::string expected = "     #      Type   SubType\n";
  for (std::size_t i = 0; i < rows.size(); ++i) {
    rows[i] = {static_cast<std::uint8_t>(i * 7), static_cast<std::uint8_t>(i % 3)};
    char line[40];
    std::snprintf(line, sizeof line, "%6zu%10d%10d\n", i, rows[i].type, rows[i].subtype);
    expected += line;
  }
  EXPECT_TRUE(FormatEntityListing(rows) == expected);
}

TEST_F(DrawingFileLoad, ListingThatCannotBeWrittenDoesNotStopTheLoad) {
  DrawingFile elsewhere(dir.Path("no-such-folder/entities.txt"));
  EXPECT_EQ(elsewhere.Load(dir.Write("a.pvx", Drawing({Definition("A")}))), LoadResult::Loaded);
  EXPECT_EQ(elsewhere.SymbolDefs().GetSize(), 1);
}

}  // namespace
}  // namespace runebin
