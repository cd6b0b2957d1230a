#include <gtest/gtest.h>

#include <algorithm>

#include "model/ByteOrder.h"
#include "model/DrawingFile.h"
#include "model/EntityListing.h"
#include "model/Format.h"
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

// Top-level records go to three lists, stray group markers among them; records that nothing
// changes, in a row, make one entity. References count for the last definition of their exact
// name, and only at the top level.
TEST_F(DrawingFileLoad, SortsTopLevelRecordsAndCountsUses) {
  const auto path =
      dir.Write("a.pvx", Drawing({Definition("Oak"), Reference("Oak"), TypeZero(3),
                                  Definition("Oak", {Reference("Elm")}), Definition("Elm"),
                                  Reference("Oak"), Reference("oak"), Group(17, {Reference("Elm")}),
                                  GroupOpen(), GroupClose(), Record(42)}));
  ASSERT_EQ(drawing.Load(path), LoadResult::Loaded);
  EXPECT_EQ(drawing.TypeZeroEntities().GetSize(), 2);  // the opening marker is of type 0
  ASSERT_EQ(drawing.OtherEntities().GetSize(), 5);     // the closing marker and record 42 are one
  EXPECT_EQ(drawing.OtherEntities().GetAt(4).Length(), GroupClose().size() + Record(42).size());
  EXPECT_EQ(drawing.LoadedListing().size(), 11U);
  ASSERT_EQ(drawing.SymbolDefs().GetSize(), 3);
  EXPECT_EQ(drawing.SymbolDefs().GetAt(0).useCount, 0);
  EXPECT_EQ(drawing.SymbolDefs().GetAt(1).useCount, 2);
  EXPECT_EQ(drawing.SymbolDefs().GetAt(2).useCount, 0);

  // Loaded for its symbols only (the same definitions and counts: see the big file below): the
  // group that places from inside, nothing else - and such a part of a file is never written.
  DrawingFile symbols("");
  ASSERT_EQ(symbols.Load(path, nullptr, DrawingFile::PassedPages::Release,
                         DrawingFile::Scope::SymbolsOnly),
            LoadResult::Loaded);
  EXPECT_EQ(symbols.TypeZeroEntities().GetSize(), 0);
  ASSERT_EQ(symbols.OtherEntities().GetSize(), 1);
  EXPECT_EQ(symbols.OtherEntities().GetAt(0).GetType(), 17);
  EXPECT_TRUE(symbols.LoadedListing().empty());
  symbols.SetModified(true);
  EXPECT_EQ(symbols.Save(path).result, SaveResult::NothingLoaded);
  EXPECT_TRUE(Written(symbols).empty());
}

// The header's checks in order, the first failing one deciding; missing header bytes read as
// zero. Each load follows a good one, whose content goes even when the next load is refused.
TEST_F(DrawingFileLoad, ChecksTheHeaderInOrder) {
  const Bytes valid = Drawing({Definition("A")});
  // The valid file cut to `size` bytes, with bytes at the given offsets changed.
  const auto changed = [&](std::size_t size, std::vector<std::pair<int, char>> changes) {
    Bytes file = valid;
    file.resize(size);
    for (const auto& [offset, value] : changes) {
      file[static_cast<std::size_t>(offset)] = static_cast<std::uint8_t>(value);
    }
    return file;
  };
  const std::size_t all = valid.size();
  const std::pair<Bytes, LoadResult> cases[] = {
      {changed(all, {{25, 'x'}}), LoadResult::Loaded},  // byte 25 is not examined
      {changed(all, {{0, 'p'}}), LoadResult::NotDrawing},
      {changed(all, {{24, ' '}}), LoadResult::NotDrawing},
      {changed(all, {{26, '5'}}), LoadResult::WrongVersion},
      {changed(all, {{26, ' '}}), LoadResult::WrongVersion},
      {changed(all, {{48, 1}}), LoadResult::Compressed},
      {changed(49, {}), LoadResult::Loaded},
      {changed(40, {}), LoadResult::Loaded},      // the compressed flag reads as zero
      {changed(20, {}), LoadResult::NotDrawing},  // the signature is cut
      {changed(128, {{0, 'Q'}, {26, '5'}, {48, 1}}), LoadResult::NotDrawing},
      {changed(128, {{26, '5'}, {48, 1}}), LoadResult::WrongVersion},
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

// A damaged body keeps all its bytes, in place: the readable records in front become entities
// and the rest travels as one block at the end.
TEST_F(DrawingFileLoad, UnreadableRestIsCarriedWhole) {
  // A record whose length field says `length`: below a record's 5 bytes, wrapping, past the end.
  const auto withLength = [](std::uint32_t length) {
    Bytes record = Record(7, Bytes(6, 1));
    PutU32(record.data(), length);
    return record;
  };
  Bytes unclosed = Definition("Open");
  unclosed.resize(unclosed.size() - kMarkerLength);  // no GroupClose
  const Bytes deepUnclosed =
      Join({Record(17, Bytes(3, 0)), GroupOpen(), GroupOpen(), GroupClose()});
  // A definition whose group holds a record that would never advance, and one after it.
  const Bytes badGroup = Join({Definition("Bad", {withLength(2)}), Definition("Later")});
  for (const Bytes& damage : {withLength(3), withLength(0xFFFFFFF0u), withLength(1000), unclosed,
                              Bytes{1, 2, 3}, deepUnclosed, badGroup}) {
    const Bytes file = Drawing({TypeZero(1), Definition("A"), Reference("A"), damage});
    ASSERT_EQ(drawing.Load(dir.Write("m.pvx", file)), LoadResult::Loaded);
    EXPECT_EQ(Written(drawing), file);
    EXPECT_EQ(drawing.TypeZeroEntities().GetSize(), 1);
    EXPECT_EQ(drawing.SymbolDefs().GetSize(), 1);
    ASSERT_EQ(drawing.OtherEntities().GetSize(), 2);
    EXPECT_EQ(drawing.OtherEntities().GetAt(1).Length(), damage.size());
  }
}

// A file is read through a window that slides along it: records and groups that straddle its
// edges, one larger than it, and a damaged end load as they do from memory, whole or for the
// symbols only. A symbols-only load keeps of each group what concerns symbols (its definition or
// group record, markers, nested references and groups), which reads as the whole group does.
TEST_F(DrawingFileLoad, ABigFileLoadsAsTheSameBytesInMemoryDo) {
  std::vector<Bytes> records = {TypeZero(1), Definition("Big", {Record(9, Bytes(300000, 4))})};
  for (int i = 0; i < 300; ++i) {
    const std::string name = "D" + std::to_string(i);
    const Extents extents{-1.5F * static_cast<float>(i), 2, 3, 4.25F * static_cast<float>(i)};
    records.push_back(Definition(name,
                                 {Record(9, Bytes(3000, 1)), Reference("D0"),
                                  Group(18, {Record(9, Bytes(40, 3)), Reference(name, 60)}),
                                  Definition("Inner", {Reference("Big")})},
                                 extents));
    records.push_back(Reference(i % 7 == 0 ? "Big" : name));
    records.push_back(Record(7, Bytes(1000 + i, 2)));
  }
  records.push_back(Group(17, {Reference("D5")}));
  records.push_back(Bytes{1, 2, 3});  // no record: an unreadable tail
  const Bytes file = Drawing(records);
  const std::string path = dir.Write("big.pvx", file);
  DrawingFile inMemory(""), symbols("");
  ASSERT_EQ(inMemory.LoadFromMemory(file), LoadResult::Loaded);
  ASSERT_EQ(drawing.Load(path), LoadResult::Loaded);
  ASSERT_EQ(symbols.Load(path, nullptr, DrawingFile::PassedPages::Release,
                         DrawingFile::Scope::SymbolsOnly),
            LoadResult::Loaded);
  EXPECT_EQ(Written(drawing), Written(inMemory));
  EXPECT_EQ(FormatEntityListing(drawing.LoadedListing()),
            FormatEntityListing(inMemory.LoadedListing()));
  ASSERT_TRUE(drawing.Damage().has_value() && symbols.Damage().has_value());
  EXPECT_EQ(drawing.Damage()->offset, inMemory.Damage()->offset);
  EXPECT_EQ(symbols.Damage()->offset, inMemory.Damage()->offset);
  ASSERT_EQ(drawing.SymbolDefs().GetSize(), 301);
  ASSERT_EQ(symbols.SymbolDefs().GetSize(), 301);
  EXPECT_EQ(drawing.SymbolDefs().GetAt(0).useCount, 43);
  const auto extents = [](const Entity& definition) {
    float lowX = 0, lowY = 0, highX = 0, highY = 0;
    definition.GetExtents(lowX, lowY, highX, highY);
    return std::vector<float>{lowX, lowY, highX, highY};
  };
  for (int i = 0; i < 301; ++i) {
    const Entity& whole = inMemory.SymbolDefs().GetAt(i);
    EXPECT_EQ(drawing.SymbolDefs().GetAt(i).useCount, whole.useCount);
    const Entity& digest = symbols.SymbolDefs().GetAt(i);
    EXPECT_EQ(digest.useCount, whole.useCount);
    EXPECT_EQ(digest.AsNamed()->GetName(), whole.AsNamed()->GetName());
    EXPECT_EQ(extents(digest), extents(whole));
    EXPECT_EQ(digest.NestedReferenceNames(), whole.NestedReferenceNames());
    EXPECT_EQ(TopLevelExtent(digest.Bytes()), digest.Length());
  }
  const Entity& group = symbols.OtherEntities().GetAt(0);
  EXPECT_EQ(group.GetType(), 17);
  EXPECT_EQ(group.NestedReferenceNames(), std::vector<std::string>{"D5"});
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
  // A listing that cannot be written does not stop the load.
  DrawingFile elsewhere(dir.Path("no-such-folder/entities.txt"));
  EXPECT_EQ(elsewhere.Load(dir.Write("a.pvx", Drawing({Definition("A")}))), LoadResult::Loaded);
  EXPECT_EQ(elsewhere.SymbolDefs().GetSize(), 1);
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

}  // namespace
}  // namespace runebin
