#include <gtest/gtest.h>

#include <bit>
#include <cstring>

#include "metafile/ConvertRecords.h"
#include "metafile/HostPalette.h"
#include "metafile/ImportMetafile.h"
#include "tests/metafile/SymbolRecords.h"
#include "tests/metafile/WmfBuilder.h"

namespace runebin {
namespace {

using namespace runebin::testing;

constexpr int kRedIndex = 167;  // the palette entry nearest to pure red
constexpr int kBlueIndex = 3;
constexpr int kBlackIndex = 0;

void PutLE(Bytes& out, std::size_t at, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i) {
    out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
  }
}

void PutReal(Bytes& out, std::size_t at, float value) {
  PutLE(out, at, std::bit_cast<std::uint32_t>(value), 4);
}

// A path record spelled out from the format's table, field by field.
Bytes ExpectedPath(int colour, int fill, std::uint32_t number, bool closed,
                   const std::vector<std::pair<float, float>>& vertices) {
  Bytes record(42 + 8 * vertices.size(), 0);
  PutLE(record, 0, static_cast<std::uint32_t>(record.size()), 4);
  record[4] = 3;
  record[7] = record[8] = static_cast<std::uint8_t>(colour);
  PutLE(record, 12, 1, 2);
  PutLE(record, 18, static_cast<std::uint32_t>(fill), 2);
  PutLE(record, 24, number, 4);
  record[29] = 8;
  PutReal(record, 34, static_cast<float>(vertices.size()) - 1.0F);
  PutLE(record, 38, static_cast<std::uint32_t>(vertices.size()), 2);
  record[40] = closed ? 0x80 : 0;
  for (std::size_t i = 0; i < vertices.size(); ++i) {
    PutReal(record, 42 + 8 * i, vertices[i].first);
    PutReal(record, 46 + 8 * i, vertices[i].second);
  }
  return record;
}

Bytes ExpectedDefinition(std::string_view name, float lowX, float lowY, float highX, float highY) {
  Bytes record(88, 0);
  PutLE(record, 0, 88, 4);
  record[4] = 28;
  PutReal(record, 28, lowX);
  PutReal(record, 32, lowY);
  PutReal(record, 40, highX);
  PutReal(record, 44, highY);
  std::memcpy(record.data() + 56, name.data(), name.size());
  return record;
}

Wmf RedBrushBlackPen() {
  return std::move(Wmf().Brush(kSolid, kRed).Pen(kSolid, kBlack).Select(0).Select(1));
}

const std::vector<Pt> kTriangle = {{0, 0}, {100, 0}, {100, 50}};

TEST(ImportWorkedExample, FilledPolygonComesOutByteForByte) {
  const auto imported =
      ImportForTest(RedBrushBlackPen().Polygon(kTriangle).End().Data(), 10.0F, "tree.wmf");
  ASSERT_EQ(imported.result, ImportSucceeded);
  ASSERT_TRUE(imported.symbol);
  const std::vector<std::pair<float, float>> vertices = {{10, 5}, {20, 5}, {20, 0}};
  const Bytes expected = Join({ExpectedDefinition("tree.wmf", 0, 0, 1000, 500), GroupOpen(),
                               ExpectedPath(kRedIndex, 1, 6826, true, vertices),
                               ExpectedPath(kBlackIndex, 0, 6827, true, vertices), GroupClose()});
  const auto actual = imported.symbol->Bytes();
  EXPECT_EQ(Bytes(actual.begin(), actual.end()), expected);
  EXPECT_EQ(imported.symbol->GetName(), "tree.wmf");
  EXPECT_EQ(imported.details.box, (BoundingBox{0, 0, 100, 50}));
  EXPECT_EQ(imported.details.walkEnd, WalkEnd::EndRecord);
}

TEST(ImportWorkedExample, HollowBrushLeavesOnlyTheOutlineAndTheSameBox) {
  const auto imported = ImportForTest(
      Wmf().Brush(kHollowBrush, kRed).Select(0).Polygon(kTriangle).End().Data(), 10.0F);
  ASSERT_EQ(imported.drawing.size(), 1u);
  EXPECT_EQ(imported.drawing[0].Fill(), 0);
  EXPECT_EQ(imported.drawing[0].Colour(), kBlackIndex);
  EXPECT_EQ(imported.drawing[0].Sequence(), 6826u);
  EXPECT_EQ(imported.details.box, (BoundingBox{0, 0, 100, 50}));
  float lowX, lowY, highX, highY;
  imported.symbol->GetExtents(lowX, lowY, highX, highY);
  EXPECT_EQ(highX, 1000.0F);
  EXPECT_EQ(highY, 500.0F);
}

TEST(ImportPens, NullPenSuppressesPolygonOutlinesButNotRectanglesOrEllipses) {
  const auto imported = ImportForTest(Wmf()
                                          .Pen(kNullPen, kBlue)
                                          .Select(0)
                                          .Polygon(kTriangle)
                                          .Polyline(kTriangle)
                                          .PolyPolygon({kTriangle})
                                          .Rectangle(0, 0, 10, 10)
                                          .Ellipse(0, 0, 10, 10)
                                          .End()
                                          .Data());
  // Polygon: the fill only. Polyline: nothing. Set: the fill's group only. Rectangle: its path.
  // Ellipse: fill and outline.
  std::vector<int> types;
  for (const auto& record : imported.drawing) {
    types.push_back(record.Type());
  }
  EXPECT_EQ(types, (std::vector<int>{3, 17, 0, 3, 1, 3, 8, 8}));
  EXPECT_EQ(imported.drawing[0].Fill(), 1);
  EXPECT_EQ(imported.drawing[5].Colour(), kBlueIndex);  // the rectangle, in the null pen's colour
  EXPECT_EQ(imported.drawing[7].Colour(), kBlueIndex);  // the ellipse outline
  EXPECT_EQ(imported.drawing[7].Fill(), 0);
}

TEST(ImportPens, PolylineIsAnOpenPathInColourOneWhateverThePen) {
  const auto imported = ImportForTest(
      Wmf().Pen(kSolid, kBlue).Select(0).Polyline({{0, 0}, {30, 40}}).End().Data(), 40.0F);
  ASSERT_EQ(imported.drawing.size(), 1u);
  const auto& path = imported.drawing[0];
  EXPECT_EQ(path.Colour(), 1);
  EXPECT_EQ(path.ColourAgain(), 1);
  EXPECT_FALSE(path.Closed());
  EXPECT_EQ(path.Fill(), 0);
  EXPECT_EQ(path.VertexCount(), 2);
  // Box (0,0)-(30,40): S = 40 / 40, x shifted by +30, y turned about 40.
  EXPECT_EQ(path.Vertex(0), (std::pair<float, float>{30, 40}));
  EXPECT_EQ(path.Vertex(1), (std::pair<float, float>{60, 0}));
}

TEST(ImportPens, NullPenPolylineDoesNotWidenTheBox) {
  const auto imported = ImportForTest(
      Wmf().Pen(kNullPen, kBlack).Select(0).Polyline({{500, 500}, {600, 700}}).End().Data());
  EXPECT_TRUE(imported.drawing.empty());
  EXPECT_EQ(imported.details.box, BoundingBox{});
}

TEST(ImportBox, RectangleAloneMeasuresAtItsMappedCorners) {
  const auto imported = ImportForTest(Wmf().Rectangle(0, 0, 100, 50).End().Data());
  EXPECT_EQ(imported.details.box, (BoundingBox{0, -50, 100, 0}));
}

TEST(ImportBox, EllipseAloneMeasuresAtItsMappedCorners) {
  const auto imported = ImportForTest(Wmf().Ellipse(-20, 10, 30, 40).End().Data());
  EXPECT_EQ(imported.details.box, (BoundingBox{-20, -40, 30, 0}));
}

TEST(ImportBox, AlwaysHoldsTheOrigin) {
  const auto positive = ImportForTest(Wmf().Polygon({{10, 20}, {30, 40}}).End().Data());
  EXPECT_EQ(positive.details.box, (BoundingBox{0, 0, 30, 40}));
  const auto negative = ImportForTest(Wmf().Polygon({{-10, -20}, {-30, -40}}).End().Data());
  EXPECT_EQ(negative.details.box, (BoundingBox{-30, -40, 0, 0}));
}

TEST(ImportBox, TopOfMinus32768StaysInsideSixteenBits) {
  const auto imported = ImportForTest(Wmf().Rectangle(0, -32768, 10, 0).End().Data());
  EXPECT_EQ(imported.details.box, (BoundingBox{0, 0, 10, 32767}));
}

TEST(ImportScale, ExtentsAreTheBoxTimesMaxSize) {
  const auto imported = ImportForTest(Wmf().Polygon({{-10, -20}, {30, 40}}).End().Data(), 2.5F);
  float lowX, lowY, highX, highY;
  imported.symbol->GetExtents(lowX, lowY, highX, highY);
  EXPECT_EQ(lowX, -25.0F);
  EXPECT_EQ(lowY, -50.0F);
  EXPECT_EQ(highX, 75.0F);
  EXPECT_EQ(highY, 100.0F);
}

TEST(ImportScale, TheLargerSideGetsMaxSize) {
  // Box (-100,-50)-(0,0): width 100 is the larger side, so S = 50 / 100.
  const auto imported = ImportForTest(
      Wmf().Brush(kHollowBrush, 0).Select(0).Polygon({{-100, -50}, {-40, 0}}).End().Data(), 50.0F);
  ASSERT_EQ(imported.drawing.size(), 1u);
  EXPECT_EQ(imported.drawing[0].Vertex(0), (std::pair<float, float>{-50, 25}));
  EXPECT_EQ(imported.drawing[0].Vertex(1), (std::pair<float, float>{-20, 0}));
}

TEST(ImportScale, MaxSizeZeroGivesZeroCoordinatesAndExtents) {
  const auto imported =
      ImportForTest(Wmf().Polygon({{10, 20}, {30, 40}}).Ellipse(0, 0, 5, 5).End().Data(), 0.0F);
  float lowX, lowY, highX, highY;
  imported.symbol->GetExtents(lowX, lowY, highX, highY);
  EXPECT_EQ(highX, 0.0F);
  EXPECT_EQ(highY, 0.0F);
  EXPECT_EQ(imported.drawing[0].Vertex(1), (std::pair<float, float>{0, 0}));
  EXPECT_EQ(imported.drawing[2].CentreX(), 0.0F);
}

TEST(ImportEllipse, FilledAndOutlinedRecordsShareOneNumber) {
  const auto imported = ImportForTest(
      RedBrushBlackPen().Ellipse(0, 0, 100, 50).Polygon({{0, 0}}).End().Data(), 100.0F);
  ASSERT_GE(imported.drawing.size(), 2u);
  // Box (0,-50)-(100,0), S = 1, x shifted by +100: corners (100,0) and (200,-50).
  for (int i = 0; i < 2; ++i) {
    const auto& ellipse = imported.drawing[static_cast<std::size_t>(i)];
    EXPECT_EQ(ellipse.Type(), 8);
    EXPECT_EQ(ellipse.bytes.size(), 48u);
    EXPECT_EQ(ellipse.Sequence(), 6826u);
    EXPECT_EQ(ellipse.CentreX(), 150.0F);
    EXPECT_EQ(ellipse.CentreY(), -25.0F);
    EXPECT_EQ(ellipse.Minor(), 25.0F);
    EXPECT_FLOAT_EQ(ellipse.Ratio(), static_cast<float>(50.0 / (25.0 + 0.00001)));
    EXPECT_EQ(ellipse.U16(12), 1);
  }
  EXPECT_EQ(imported.drawing[0].Fill(), 1);
  EXPECT_EQ(imported.drawing[0].Colour(), kRedIndex);
  EXPECT_EQ(imported.drawing[1].Fill(), 0);
  EXPECT_EQ(imported.drawing[1].Colour(), kBlackIndex);
  EXPECT_EQ(imported.drawing[2].Sequence(), 6827u);  // the next shape's fill
}

TEST(ImportEllipse, HollowBrushLeavesOnlyTheOutline) {
  const auto imported =
      ImportForTest(Wmf().Brush(kHollowBrush, kRed).Select(0).Ellipse(0, 0, 10, 30).End().Data());
  ASSERT_EQ(imported.drawing.size(), 1u);
  EXPECT_EQ(imported.drawing[0].Fill(), 0);
  // Box (0,-30)-(10,0), S = 100 / 30: half-axes 50/3 across and 50 down.
  EXPECT_FLOAT_EQ(imported.drawing[0].Minor(), 50.0F / 3);
  EXPECT_NEAR(imported.drawing[0].Ratio(), 1.0 / 3, 1e-6);
}

TEST(ImportRectangle, IsAnUnfilledPathOfFourCornersInThePenColour) {
  const auto imported = ImportForTest(
      RedBrushBlackPen().Pen(kSolid, kBlue).Select(2).Rectangle(0, 0, 100, 50).End().Data(),
      100.0F);
  ASSERT_EQ(imported.drawing.size(), 1u);
  const auto& path = imported.drawing[0];
  const std::vector<std::pair<float, float>> corners = {{100, 0}, {200, 0}, {200, -50}, {100, -50}};
  EXPECT_EQ(path.bytes, ExpectedPath(kBlueIndex, 0, 6826, true, corners));
  EXPECT_EQ(path.LastIndex(), 3.0F);
}

TEST(ImportPolyPolygon, EachPolygonIsWrappedInGroupsForFillAndOutline) {
  const std::vector<Pt> second = {{0, 0}, {-50, 20}};
  const auto imported =
      ImportForTest(RedBrushBlackPen().PolyPolygon({kTriangle, second}).End().Data(), 150.0F);
  // Per polygon: group, open, fill path, close, group, open, outline path, close.
  ASSERT_EQ(imported.drawing.size(), 16u);
  std::uint32_t number = 6826;
  for (std::size_t polygon = 0; polygon < 2; ++polygon) {
    for (std::size_t copy = 0; copy < 2; ++copy) {
      const std::size_t at = polygon * 8 + copy * 4;
      const int colour = copy == 0 ? kRedIndex : kBlackIndex;
      const auto& group = imported.drawing[at];
      EXPECT_EQ(group.Type(), 17);
      EXPECT_EQ(group.bytes.size(), 30u);
      EXPECT_EQ(group.Colour(), colour);
      EXPECT_EQ(group.U16(12), 0);
      EXPECT_EQ(group.U16(18), 1);
      EXPECT_EQ(group.Sequence(), number++);
      EXPECT_TRUE(imported.drawing[at + 1].IsGroupOpen());
      const auto& path = imported.drawing[at + 2];
      EXPECT_EQ(path.Colour(), colour);
      EXPECT_EQ(path.Fill(), copy == 0 ? 1 : 0);
      EXPECT_TRUE(path.Closed());
      EXPECT_EQ(path.Sequence(), number++);
      EXPECT_EQ(path.VertexCount(), polygon == 0 ? 3 : 2);
      EXPECT_TRUE(imported.drawing[at + 3].IsGroupClose());
    }
  }
  // The second polygon's vertices follow the first's and widen the box too.
  EXPECT_EQ(imported.details.box, (BoundingBox{-50, 0, 100, 50}));
  EXPECT_EQ(imported.drawing[10].Vertex(1), (std::pair<float, float>{50, 30}));
}

TEST(ImportPolyPolygon, NoPolygonsMeansNothing) {
  const auto imported = ImportForTest(Wmf().Record(0x0538, {0}).Polygon({{1, 1}}).End().Data());
  ASSERT_EQ(imported.drawing.size(), 2u);
  EXPECT_EQ(imported.drawing[0].Sequence(), 6826u);
}

TEST(ImportPolygon, NoVerticesGivesEmptyPaths) {
  const auto imported = ImportForTest(Wmf().Polygon({}).End().Data());
  ASSERT_EQ(imported.drawing.size(), 2u);
  for (const auto& path : imported.drawing) {
    EXPECT_EQ(path.bytes.size(), 42u);
    EXPECT_EQ(path.VertexCount(), 0);
    EXPECT_EQ(path.LastIndex(), -1.0F);
  }
}

TEST(ImportColours, MapToTheNearestPaletteEntry) {
  const std::uint32_t khaki = 0x8CE6F0;
  const auto imported =
      ImportForTest(Wmf().Brush(kSolid, khaki).Select(0).Polygon(kTriangle).End().Data());
  EXPECT_EQ(imported.drawing[0].Colour(), NearestPaletteIndex(khaki));
  // The high byte of a colour plays no part.
  const auto flagged = ImportForTest(
      Wmf().Brush(kSolid, 0x02000000 | khaki).Select(0).Polygon(kTriangle).End().Data());
  EXPECT_EQ(flagged.drawing[0].Colour(), NearestPaletteIndex(khaki));
}

TEST(ImportPasses, MeasuringCountsExactlyTheBytesTheOutputWrites) {
  // Every shape under every mix of filling brush and drawing pen.
  Wmf wmf;
  wmf.Brush(kSolid, kRed).Brush(kHollowBrush, 0).Pen(kSolid, kBlue).Pen(kNullPen, 0);
  for (int brush : {0, 1}) {
    for (int pen : {2, 3}) {
      wmf.Select(static_cast<std::int16_t>(brush)).Select(static_cast<std::int16_t>(pen));
      wmf.Polygon(kTriangle).Polyline(kTriangle).PolyPolygon({kTriangle, {}, {{1, 1}}});
      wmf.Rectangle(0, 0, 4, 4).Ellipse(-3, -3, 3, 3);
    }
  }
  const Bytes data = wmf.End().Data();
  MetafileReader reader;
  ASSERT_EQ(reader.UseBytes(data), ImportSucceeded);
  BoundingBox box;
  PaletteMatcher palette;
  const PassResult measured = ConvertRecords(reader, box, 1.0F, nullptr, palette);
  OutputSink sink;
  const PassResult written = ConvertRecords(reader, box, 10.0F, &sink, palette);
  EXPECT_EQ(measured.outputBytes, sink.Bytes().size());
  EXPECT_EQ(written.outputBytes, sink.Bytes().size());
  EXPECT_EQ(measured.end, WalkEnd::EndRecord);
  EXPECT_EQ(written.end, WalkEnd::EndRecord);
}

}  // namespace
}  // namespace runebin
