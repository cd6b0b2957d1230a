// A write begun while the file loads, into which imported symbols are written as they are made:
// whatever follows the import, the file written is the one a write begun afterwards makes.

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "symbols/Document.h"
#include "tests/support/DrawingBuilder.h"
#include "tests/support/MetafileBuilder.h"
#include "tests/support/TempDir.h"

namespace runebin::testing {
namespace {

void CheckPlacedImports(TempDir& dir, const std::string& source, const std::string& metafile);

// An imported symbol is written into the new file and read back from there, not kept in memory:
// an edit or a change of layout after the import must not let the write overwrite the bytes it
// is about to read. Small symbols are written in one piece, large ones in two halves at once.
TEST(WriteAhead, ImportsPlacedAsTheyAreMadeWriteWhatALaterWriteWrites) {
  TempDir dir;
  const auto source =
      dir.Write("source.pvx", Drawing({Definition("A"), Reference("A"), Definition("B"),
                                       TypeZero(1), Record(9, Bytes(5000, 7))}));
  // A symbol longer than the records after the definitions, and one of about 10 MB.
  std::vector<Pt> outline;
  for (std::int16_t i = 0; i < 1000; ++i) {
    outline.push_back({i, static_cast<std::int16_t>(i % 7)});
  }
  Wmf large = Wmf().Brush(kSolid, kRed).Select(0);
  for (int i = 0; i < 600; ++i) {
    large.Polygon(outline);
  }
  for (const Bytes& symbol :
       {Wmf().Brush(kSolid, kRed).Select(0).Polygon(outline).End().Data(), large.End().Data()}) {
    SCOPED_TRACE(symbol.size());
    CheckPlacedImports(dir, source, dir.Write("leaf.wmf", symbol));
  }
}

void CheckPlacedImports(TempDir& dir, const std::string& source, const std::string& metafile) {
  const auto import = [&](Document& d) { return d.ImportSymbol(metafile, "Leaf", 100, false); };
  struct Row {
    const char* what;
    std::function<void(Document&)> change;
    int placed;  // symbols written ahead
  };
  const Row rows[] = {
      {"one import", [&](Document& d) { import(d); }, 1},
      {"two imports", [&](Document& d) { import(d), import(d); }, 2},
      {"then renamed", [&](Document& d) { import(d), d.Drawing().SetSymbolName(2, "Z"); }, 0},
      {"then deleted", [&](Document& d) { import(d), d.Drawing().RemoveSymbol(2); }, 0},
      {"a symbol before it deleted", [&](Document& d) { import(d), d.Drawing().RemoveSymbol(0); },
       platform::SafeFileWriter::kCopiesAhead ? 1 : 0},
      {"in another's place", [&](Document& d) { d.ImportSymbol(metafile, "Leaf", 100, false, 0); },
       0},
      {"a symbol before it grown",
       [&](Document& d) { import(d), d.ImportSymbol(metafile, "Leaf", 100, false, 0); },
       platform::SafeFileWriter::kCopiesAhead ? 1 : 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Document ahead("");
    ahead.WriteAheadTo(dir.Path("ahead.pvx"), Document::EarlyWrite::PlaceImports);
    ASSERT_EQ(ahead.Open(source, false, Document::Lock::UntilWritten), LoadResult::Loaded);
    row.change(ahead);
    const EntityList& defs = ahead.Drawing().SymbolDefs();
    int placed = 0;
    for (int i = 0; i < defs.GetSize(); ++i) {
      placed += defs.GetAt(i).PlacedAhead() ? 1 : 0;
    }
    EXPECT_EQ(placed, platform::SafeFileWriter::kCopiesAhead ? row.placed : 0);
    ASSERT_TRUE(ahead.WriteBack(dir.Path("ahead.pvx")).Saved());
    ahead.Close();

    Document later("");
    ASSERT_EQ(later.Open(source, false, Document::Lock::UntilWritten), LoadResult::Loaded);
    row.change(later);
    ASSERT_TRUE(later.WriteBack(dir.Path("later.pvx")).Saved());
    EXPECT_EQ(ReadFileBytes(dir.Path("ahead.pvx")), ReadFileBytes(dir.Path("later.pvx")));
  }
}

}  // namespace
}  // namespace runebin::testing
