// The metafile import on small metafiles built record by record: what each shape becomes, the
// box, the object table and saved states, recognition, files, and the palette search.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <set>
#include <tuple>

#include "metafile/DrawingState.h"
#include "metafile/HostPalette.h"
#include "metafile/ImportMetafile.h"
#include "metafile/OutputRecords.h"
#include "metafile/RecordKinds.h"
#include "tests/metafile/SymbolBytes.h"
#include "tests/support/MetafileBuilder.h"
#include "tests/support/TempDir.h"

namespace runebin {
namespace {

using namespace runebin::testing;

const std::vector<Pt> kTriangle = {{0, 0}, {100, 0}, {100, 50}};

// A red brush in slot 0 and a black pen in slot 1, both selected.
Wmf RedBrushBlackPen(Wmf wmf = Wmf()) {
  wmf.Brush(kSolid, kRed).Pen(kSolid, kBlack).Select(0).Select(1);
  return wmf;
}

TEST(Import, WorkedExampleComesOutByteForByteFromEitherHeader) {
  const std::vector<float> vertices = {10, 5, 20, 5, 20, 0};
  const Bytes expected = Definition(
      "tree.wmf", {PathRec(167, 1, 6826, true, vertices), PathRec(0, 0, 6827, true, vertices)},
      {0, 0, 1000, 500});
  for (const Wmf& start : {Wmf(), Wmf().Placeable()}) {
    std::unique_ptr<SymbolDef> symbol;
    const Bytes data = RedBrushBlackPen(start).Polygon(kTriangle).End().Data();
    ASSERT_EQ(ImportMetafileBytes(data, "tree.wmf", 10.0F, symbol), ImportResult::Succeeded);
    ASSERT_TRUE(symbol);
    EXPECT_EQ(Bytes(symbol->Bytes().begin(), symbol->Bytes().end()), expected);
  }
  std::unique_ptr<SymbolDef> symbol;
  ASSERT_EQ(ImportMetafileBytes(Wmf().End().Data(), std::string(40, 'n'), 1, symbol),
            ImportResult::Succeeded);
  EXPECT_EQ(symbol->GetName(), std::string(31, 'n'));
}

TEST(Import, EachShapeBecomesItsRecords) {
  // Red brush, blue pen. Box (0,-50)-(100,0), so S = 1 and points map to (x + 100, -y).
  const Bytes symbol = Imported(RedBrushBlackPen()
                                    .Pen(kSolid, kBlue)
                                    .Select(2)
                                    .Ellipse(0, 0, 100, 50)
                                    .Rectangle(0, 0, 100, 50)
                                    .Polyline({{0, 0}, {100, -50}})
                                    .Record(kFnPolyPolygon, {0})
                                    .PolyPolygon({{{0, 0}, {100, -50}}, {{50, -20}}})
                                    .End()
                                    .Data());
  const std::vector<float> ellipse = {150, -25, 25, static_cast<float>(50 / (25 + 0.00001))};
  const std::vector<float> first = {100, 0, 200, 50}, second = {150, 20};
  EXPECT_EQ(symbol, SymbolOf({0, -50, 100, 0}, 100,
                             {// The fill and outline of an ellipse share a number.
                              EllipseRec(167, 1, 6826, ellipse), EllipseRec(3, 0, 6826, ellipse),
                              // A rectangle is an outline in the pen's colour.
                              PathRec(3, 0, 6827, true, {100, 0, 200, 0, 200, -50, 100, -50}),
                              // A polyline is open and in colour 1 whatever the pen.
                              PathRec(1, 0, 6828, false, first),
                              // Each polygon of a set is grouped, fill and outline apart.
                              GroupRec(167, 6829, PathRec(167, 1, 6830, true, first)),
                              GroupRec(3, 6831, PathRec(3, 0, 6832, true, first)),
                              GroupRec(167, 6833, PathRec(167, 1, 6834, true, second)),
                              GroupRec(3, 6835, PathRec(3, 0, 6836, true, second))}));
}

TEST(Import, BoxHoldsTheOriginAndTheDrawnPointsOnly) {
  const std::pair<Bytes, BoundingBox> cases[] = {
      {Wmf().Polygon({{10, 20}, {30, 40}}).End().Data(), {0, 0, 30, 40}},
      {Wmf().Polygon({{-10, -20}, {-30, -40}}).End().Data(), {-30, -40, 0, 0}},
      {Wmf().Ellipse(-20, 10, 30, 40).End().Data(), {-20, -40, 30, 0}},
      {Wmf().Rectangle(0, -32768, 10, 0).End().Data(), {0, 0, 10, 32767}},
      {Wmf().Pen(kNullPen, kBlack).Select(0).Polyline({{500, 500}}).End().Data(), {}},
      // A function that only shares Polygon's low byte draws nothing.
      {Wmf().Record(0x0124, {1, 5, 5}).Polygon({{1, 2}}).End().Data(), {0, 0, 1, 2}},
  };
  for (const auto& [metafile, box] : cases) {
    ImportDetails details;
    Imported(metafile, 100, &details);
    EXPECT_EQ(details.box, box) << ::testing::PrintToString(metafile);
  }
}

TEST(Import, PensBrushesObjectSlotsAndSavedStates) {
  using Steps = std::function<void(Wmf&)>;
  const std::pair<std::string, Steps> cases[] = {
      {"P0f G0 ( P0f ) P3 E0f E3",  // a null pen leaves polygon outlines out, nothing else
       [](Wmf& w) {
         w.Pen(kNullPen, kBlue).Select(0).Polygon(kTriangle).Polyline(kTriangle);
         w.PolyPolygon({kTriangle}).Rectangle(0, 0, 10, 10).Ellipse(0, 0, 10, 10);
       }},
      {"P0 G0 ( P0 ) E0",  // a hollow brush leaves fills out
       [](Wmf& w) {
         w.Brush(kHollowBrush, kRed).Select(0).Polygon(kTriangle).PolyPolygon({kTriangle});
         w.Ellipse(0, 0, 9, 9);
       }},
      // Every object takes a slot but the obsolete CreateBrush record; a font, pattern brush,
      // palette or region selects nothing.
      {"P167f P1",
       [](Wmf& w) {
         w.Brush(kSolid, kRed).Select(0).Font().Brush(kPatternBrush, kBlue).Palette();
         w.Record(kFnCreateRegion, std::vector<std::uint16_t>(10));
         for (std::uint16_t function :
              {kFnDIBCreatePatternBrush, kFnCreateBrush, kFnCreatePatternBrush,
               kFnCreateBitmapIndirect, kFnCreateBitmap}) {
           w.Record(function, {0, 0, 0, 0});
         }
         w.Pen(kSolid, kGreen).Select(9).Select(1).Select(2).Select(3).Select(4);
         w.Polygon(kTriangle);
       }},
      {"P3 P1",  // delete keeps the selection and frees the slot; empty or outside slots: nothing
       [](Wmf& w) {
         w.Brush(kHollowBrush, 0).Pen(kSolid, kBlue).Select(0).Select(1).Delete(1).Select(2);
         w.Select(-1).Select(512).Delete(-5).Delete(600).Polygon(kTriangle);
         w.Pen(kSolid, kGreen).Select(1).Polygon(kTriangle);
       }},
      {"P1 P167",  // a full table ignores creations: the blue pen replaces nothing
       [](Wmf& w) {
         w.Brush(kHollowBrush, 0).Select(0);
         for (int i = 1; i < kObjectSlotCount - 1; ++i) {
           w.Font();
         }
         w.Pen(kSolid, kGreen).Pen(kSolid, kBlue).Select(511).Select(0).Polygon(kTriangle);
         w.Delete(7).Pen(kSolid, kRed).Select(7).Polygon(kTriangle);
       }},
      {"P3 P3 P1 P167 P167",  // restores in reverse order; other levels or one too many: nothing
       [](Wmf& w) {
         w.Brush(kHollowBrush, 0).Select(0).Pen(kSolid, kRed).Select(1).SaveDC();
         w.Pen(kSolid, kGreen).Select(2).SaveDC().Pen(kSolid, kBlue).Select(3).Polygon(kTriangle);
         w.RestoreDC(-2).RestoreDC(1).Polygon(kTriangle).RestoreDC().Polygon(kTriangle);
         w.RestoreDC().Polygon(kTriangle).RestoreDC().Polygon(kTriangle);
       }},
      {"P1 P0 P3",  // the object table comes back with the selection
       [](Wmf& w) {
         w.Brush(kHollowBrush, 0).Select(0).Pen(kSolid, kBlue).SaveDC().Delete(1);
         w.Pen(kSolid, kGreen).Select(1).Polygon(kTriangle).RestoreDC().Polygon(kTriangle);
         w.Select(1).Polygon(kTriangle);
       }},
      {"P3 P167",  // saves past the bound keep nothing but still pair with their restores
       [](Wmf& w) {
         w.Brush(kHollowBrush, 0).Select(0).Pen(kSolid, kRed).Select(1);
         for (std::size_t i = 0; i < kMaxSavedStates + 100; ++i) {
           w.SaveDC();
         }
         w.Pen(kSolid, kBlue).Select(2);
         for (std::size_t i = 0; i < kMaxSavedStates + 100; ++i) {
           w.RestoreDC();
           if (i == 99 || i == kMaxSavedStates + 99) {
             w.Polygon(kTriangle);
           }
         }
       }},
  };
  for (const auto& [expected, steps] : cases) {
    Wmf wmf;
    steps(wmf);
    EXPECT_EQ(Summary(Imported(wmf.End().Data())), expected);
  }
}

TEST(Import, RecognisesStandardAndPlaceableMetafilesByTheFirst32Bits) {
  // The data (its first bytes, padded with zeros to one standard header), the result, and where
  // the standard header starts.
  const auto header = [](Bytes first) {
    first.resize(18);
    return first;
  };
  const std::tuple<Bytes, ImportResult, std::size_t> cases[] = {
      {{}, ImportResult::ReadFailed, 0},
      {header({0x01, 0x00, 0x09, 0x00}), ImportResult::Succeeded, 0},
      {header({0x00, 0x00, 0x12, 0x34}), ImportResult::Succeeded, 0},
      {Bytes(17, 0), ImportResult::UnknownType, 0},  // shorter than any header
      {header({0x02, 0x00, 0x09, 0x00}), ImportResult::UnknownType, 0},
      {header({0xD7, 0xCD, 0xC6, 0x9A}), ImportResult::Succeeded, 22},
      {header({0xD7, 0xCD, 0xC6, 0x9B}), ImportResult::UnknownType, 0},
      {Header(), ImportResult::UnknownType, 0},  // a drawing file
  };
  for (const auto& [data, result, headerOffset] : cases) {
    std::size_t offset = 0;
    EXPECT_EQ(RecogniseMetafile(data, offset), result) << ::testing::PrintToString(data);
    EXPECT_EQ(offset, headerOffset) << ::testing::PrintToString(data);
  }
}

// A file gives the symbol of its bytes, or its failure; a pipe or folder is refused at once, not
// waited on. Only the first 128 MiB of a file are read: a sparse file's escape record skips to a
// polygon that straddles the mark.
TEST(Import, FilesGiveTheSymbolOfTheirBytesOrTheirFailure) {
  TempDir dir;
#ifndef _WIN32
  const std::string fifo = dir.Path("pipe.wmf");  // no writer: a blocking open would wait for ever
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
#endif
  std::unique_ptr<SymbolDef> symbol;
  const Bytes data = Wmf().Placeable().Pen(kSolid, kBlue).Select(0).Polygon({{3, 4}}).End().Data();
  ASSERT_EQ(ImportMetafile(dir.Write("a.wmf", data), "t", 10, symbol), ImportResult::Succeeded);
  EXPECT_EQ(Bytes(symbol->Bytes().begin(), symbol->Bytes().end()), Imported(data, 10));
  const std::pair<std::string, ImportResult> failures[] = {
      {dir.Path("missing.wmf"), ImportResult::OpenFailed},
      {dir.Path(), ImportResult::OpenFailed},  // a folder
#ifndef _WIN32  // Windows has no named pipes in the file system to open by path
      {fifo, ImportResult::OpenFailed},
#endif
      {dir.Write("a.pvx", Header()), ImportResult::UnknownType},
  };
  for (const auto& [path, result] : failures) {
    EXPECT_EQ(ImportMetafile(path, "t", 10, symbol), result) << path;
    EXPECT_FALSE(symbol) << path;
  }

  ImportDetails details;
  const Bytes escape = Wmf().RecordSized((kMetafileReadLimit - 26) / 2, 0x0626).Data();
  const Bytes polygon = Wmf().Polygon({{7, 7}, {8, 8}}).End().Records();
  const std::string big = dir.Write("big.wmf", escape);
  std::filesystem::resize_file(big, kMetafileReadLimit + 4096);
  std::fstream(big, std::ios::in | std::ios::out | std::ios::binary)
      .seekp(kMetafileReadLimit - 8)
      .write(reinterpret_cast<const char*>(polygon.data()), static_cast<long>(polygon.size()));
  EXPECT_EQ(ImportMetafile(big, "big", 1, symbol, details), ImportResult::Succeeded);
  EXPECT_EQ(details.walkEnd, WalkEnd::MalformedRecord);
  EXPECT_EQ(details.box, BoundingBox{});
}

// Appends that were not reserved grow the buffer and keep what it held: one larger than the
// growth step first, then many small ones (none zero: fresh memory may read as zeros).
TEST(OutputSink, GrowsWithoutAReserveKeepingItsBytes) {
  OutputSink sink;
  const auto count = [](std::ptrdiff_t i) { return i == 0 ? 70000 : i; };
  for (std::ptrdiff_t i = 0; i < 200; ++i) {
    std::fill_n(sink.Extend(static_cast<std::size_t>(count(i))), count(i), i + 1);
  }
  const auto bytes = sink.Bytes();
  ASSERT_EQ(bytes.size(), 70000U + 199 * 200 / 2);
  for (std::ptrdiff_t at = 0, i = 0; i < 200; at += count(i), ++i) {
    ASSERT_EQ(std::count(bytes.begin() + at, bytes.begin() + at + count(i), i + 1), count(i));
  }
}

// How the walk over the records ends, and that the records in front of the end stand.
TEST(Import, TheWalkEndsAtTheFirstRecordThatCannotBeReadWhole) {
  const Wmf triangle = RedBrushBlackPen().Polygon(kTriangle);
  const auto then = [&](const Wmf& more) { return Join({triangle.Data(), more.Records()}); };
  const std::pair<Bytes, WalkEnd> cases[] = {
      {then(Wmf().End()), WalkEnd::EndRecord},
      {triangle.Data(), WalkEnd::EndOfData},                           // no end record
      {Join({triangle.Data(), {3, 0, 0, 0, 0}}), WalkEnd::EndOfData},  // no room for a record
      {then(Wmf().RecordSized(0, kFnPolygon).End()), WalkEnd::MalformedRecord},
      {then(Wmf().RecordSized(40, kFnPolygon, {1}).End()), WalkEnd::MalformedRecord},
      // Parameters running past their record.
      {then(Wmf().Record(kFnPolygon, {3, 1, 1}).End()), WalkEnd::MalformedParameters},
      {then(Wmf().Record(kFnSelectObject).End()), WalkEnd::MalformedParameters},
      {then(Wmf().Record(kFnPolyPolygon, {2, 1}).End()), WalkEnd::MalformedParameters},
  };
  for (const auto& [metafile, end] : cases) {
    ImportDetails details;
    EXPECT_EQ(Summary(Imported(metafile, 100, &details)), "P167f P0");
    EXPECT_EQ(details.walkEnd, end) << ::testing::PrintToString(metafile);
  }
}

// The table finds a row by the low byte of the function number alone.
TEST(RecordKinds, NoTwoRowsShareTheLowByte) {
  std::set<int> lowBytes;
  for (const RecordKind& kind : RecordKindTable) {
    EXPECT_TRUE(lowBytes.insert(kind.function & 0xFF).second) << kind.name;
  }
  EXPECT_EQ(FindRecordKind(0x0124), FindRecordKind(kFnPolygon));
  EXPECT_EQ(FindRecordKind(0x0410), kNoKind);  // the standard ScaleWindowExt has no row
}

// The rule of the search, entry by entry: the smallest squared distance, the lower index on a
// tie, never entry 31.
int NearestByTheRule(std::uint32_t colour) {
  const auto channel = [](std::uint32_t c, int shift) {
    return static_cast<int>(c >> shift & 0xFF);
  };
  int best = -1;
  int bestDistance = 0;
  for (int i = 0; i < static_cast<int>(kPaletteSize); ++i) {
    int distance = 0;
    for (int shift : {0, 8, 16}) {
      const int d =
          channel(colour, shift) - channel(HostPalette[static_cast<std::size_t>(i)], shift);
      distance += d * d;
    }
    if (i != kSkippedPaletteIndex && (best < 0 || distance < bestDistance)) {
      best = i;
      bestDistance = distance;
    }
  }
  return best;
}

// The search against its rule: every entry, the colours halfway between neighbouring entries
// (ties), and random ones.
TEST(Palette, TheSearchKeepsItsRule) {
  std::mt19937 random(5);
  std::vector<std::uint32_t> colours;
  for (std::size_t i = 0; i < kPaletteSize; ++i) {
    const std::uint32_t a = HostPalette[i];
    const std::uint32_t b = HostPalette[(i + 1) % kPaletteSize];
    colours.push_back(a);
    colours.push_back(((a & 0xFEFEFE) >> 1) + ((b & 0xFEFEFE) >> 1));
  }
  for (int n = 0; n < 20000; ++n) {
    colours.push_back(random() & 0xFFFFFF);
  }
  for (const std::uint32_t colour : colours) {
    ASSERT_EQ(NearestPaletteIndex(colour), NearestByTheRule(colour)) << std::hex << colour;
  }
}

// Hand-checked entries, then the cache against the search: every entry, then colours that come
// back mixed with fresh ones that push them out of the cache, the high byte set now and then.
TEST(Palette, NearestEntryWithTheLowerIndexOnTiesAndTheCacheAgrees) {
  EXPECT_EQ(NearestPaletteIndex(0xFFFFFF), 15);
  EXPECT_EQ(NearestPaletteIndex(0xE0F8FF), 19);  // entry 31's colour, which is never chosen
  EXPECT_EQ(NearestPaletteIndex(0x808080), 14);  // 18 repeats it
  std::mt19937 random(11);
  std::vector<std::uint32_t> favourites(40);
  std::generate(favourites.begin(), favourites.end(), [&] { return random() & 0xFFFFFF; });
  PaletteMatcher matcher;
  for (std::size_t n = 0; n < 20000; ++n) {
    std::uint32_t colour = n < kPaletteSize    ? HostPalette[n]
                           : random() % 3 == 0 ? random() & 0xFFFFFF
                                               : favourites[random() % 40];
    colour |= random() % 5 == 0 ? 0x01000000u << random() % 8 : 0;
    ASSERT_EQ(matcher.IndexOf(colour), NearestPaletteIndex(colour & 0xFFFFFF))
        << std::hex << colour;
  }
}

}  // namespace
}  // namespace runebin
