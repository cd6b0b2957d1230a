#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

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
  std::string NameAt(int index) { return drawing.symbolDefs.GetAt(index).AsNamed()->GetName(); }

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
  EXPECT_EQ(NameAt(0), "Tree");
  EXPECT_EQ(drawing.symbolDefs.GetAt(0).useCount, 2);
}

// Each row changes one header byte of a valid file; the first failing check decides.
TEST_F(DrawingFileLoad, ChecksTheHeaderInOrder) {
  struct Case {
    const char* what;
    std::size_t offset;
    std::uint8_t value;
    int expected;
  };
  const Case cases[] = {
      {"byte 25 is not examined", 25, 'x', 0},
      {"signature differs in case", 0, 'p', LoadNotDrawing},
      {"last signature byte", 24, ' ', LoadNotDrawing},
      {"version 5", 26, '5', LoadWrongVersion},
      {"version 7", 26, '7', LoadWrongVersion},
      {"version blank", 26, ' ', LoadWrongVersion},
      {"compressed 1", 48, 1, LoadCompressed},
      {"compressed 0xFF", 48, 0xFF, LoadCompressed},
  };
  for (const Case& c : cases) {
    Bytes file = Drawing({Definition("A")});
    file[c.offset] = c.value;
    EXPECT_EQ(drawing.Load(dir.Write("h.pvx", file)), c.expected) << c.what;
    EXPECT_EQ(drawing.IsLoaded(), c.expected == 0) << c.what;
  }
  // A wrong signature wins over a wrong version and a compressed flag.
  Bytes file = Header('5', 1);
  file[0] = 'Q';
  EXPECT_EQ(drawing.Load(dir.Write("h.pvx", file)), LoadNotDrawing);
  EXPECT_EQ(drawing.Load(dir.Write("h.pvx", Header('5', 1))), LoadWrongVersion);
}

TEST_F(DrawingFileLoad, RefusesMissingEmptyAndLockedFiles) {
  EXPECT_EQ(drawing.Load(dir.Path("missing.pvx")), LoadOpenFailed);
  EXPECT_EQ(drawing.Load(dir.Write("empty.pvx", {})), LoadOpenFailed);
  EXPECT_EQ(drawing.Load(dir.Path("")), LoadOpenFailed);  // the folder itself

  const auto path = dir.Write("locked.pvx", Drawing({}));
  const int other = ::open(path.c_str(), O_RDONLY);
  ASSERT_GE(other, 0);
  ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
  EXPECT_EQ(drawing.Load(path), LoadOpenFailed);
  ::close(other);
  EXPECT_EQ(drawing.Load(path), 0);
}

TEST_F(DrawingFileLoad, ShortHeaderReadsAsZeroPadded) {
  Bytes file = Header();
  file.resize(49);
  ASSERT_EQ(drawing.Load(dir.Write("short.pvx", file)), 0);
  EXPECT_EQ(drawing.Header().size(), 128u);
  EXPECT_EQ(drawing.typeZeroEntities.GetSize() + drawing.symbolDefs.GetSize() +
                drawing.otherEntities.GetSize(),
            0);
  file.resize(40);  // the version digit survives, the compressed flag reads as zero
  EXPECT_EQ(drawing.Load(dir.Write("short.pvx", file)), 0);
  file.resize(20);  // the signature is cut
  EXPECT_EQ(drawing.Load(dir.Write("short.pvx", file)), LoadNotDrawing);
}

TEST_F(DrawingFileLoad, LoadingAgainDropsTheOldContentEvenWhenRefused) {
  ASSERT_EQ(drawing.Load(dir.Write("a.pvx", Drawing({Definition("A"), Definition("B")}))), 0);
  drawing.SetModified(true);
  EXPECT_EQ(drawing.Load(dir.Write("b.pvx", Header('7'))), LoadWrongVersion);
  EXPECT_FALSE(drawing.IsLoaded());
  EXPECT_FALSE(drawing.IsModified());
  EXPECT_EQ(drawing.symbolDefs.GetSize(), 0);
  EXPECT_TRUE(drawing.Header().empty());
}

TEST_F(DrawingFileLoad, CountsUsesOnTheLastDefinitionOfAName) {
  const auto path =
      dir.Write("uses.pvx",
                Drawing({Definition("Oak"), Reference("Oak"), Definition("Oak", {Reference("Elm")}),
                         Definition("Elm"), Reference("Oak"), Reference("oak"),
                         Reference("Nowhere"), Group(17, {Reference("Elm")})}));
  ASSERT_EQ(drawing.Load(path), 0);
  ASSERT_EQ(drawing.symbolDefs.GetSize(), 3);
  EXPECT_EQ(drawing.symbolDefs.GetAt(0).useCount, 0);  // the earlier Oak keeps 0
  EXPECT_EQ(drawing.symbolDefs.GetAt(1).useCount, 2);  // case matters: "oak" is not Oak
  EXPECT_EQ(drawing.symbolDefs.GetAt(2).useCount, 0);  // nested references are not counted
  EXPECT_EQ(drawing.otherEntities.GetSize(), 5);       // the unmatched reference stays
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
      drawing.Load(dir.Write("g.pvx", Drawing({nested, withStray, directClose, TypeZero(1)}))), 0);
  ASSERT_EQ(drawing.symbolDefs.GetSize(), 3);
  EXPECT_EQ(drawing.symbolDefs.GetAt(0).Length(), nested.size());
  EXPECT_EQ(drawing.symbolDefs.GetAt(1).Length(), withStray.size());
  EXPECT_EQ(drawing.symbolDefs.GetAt(2).Length(), directClose.size());
  EXPECT_EQ(drawing.typeZeroEntities.GetSize(), 1);
}

TEST_F(DrawingFileLoad, StrayMarkersAtTopLevelAreOrdinaryRecords) {
  ASSERT_EQ(drawing.Load(dir.Write("m.pvx", Drawing({GroupOpen(), GroupClose(), Record(42)}))), 0);
  EXPECT_EQ(drawing.typeZeroEntities.GetSize(), 1);
  EXPECT_EQ(drawing.otherEntities.GetSize(), 2);
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
  for (const auto& [file, listing] : loads) {
    drawing.Load(dir.Write("l.pvx", file));
    const Bytes written = ReadFileBytes(dir.Path("entities.txt"));
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
  EXPECT_EQ(elsewhere.Load(dir.Write("a.pvx", Drawing({Definition("A")}))), 0);
  EXPECT_EQ(elsewhere.symbolDefs.GetSize(), 1);
}

}  // namespace
}  // namespace runebin
