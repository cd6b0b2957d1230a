#include <gtest/gtest.h>

#include "metafile/DrawingState.h"
#include "metafile/ImportMetafile.h"
#include "tests/metafile/SymbolRecords.h"
#include "tests/metafile/WmfBuilder.h"

namespace runebin {
namespace {

using namespace runebin::testing;

constexpr int kRedIndex = 167;
constexpr int kGreenIndex = 1;
constexpr int kBlueIndex = 3;
constexpr int kBlackIndex = 0;

const std::vector<Pt> kTriangle = {{0, 0}, {100, 0}, {100, 50}};

// The outline colours of the paths drawn, in order (fills left out by a hollow brush).
std::vector<int> OutlineColours(const Wmf& wmf) {
  const auto imported = ImportForTest(Wmf(wmf).Data());
  std::vector<int> colours;
  for (const auto& record : imported.drawing) {
    colours.push_back(record.Colour());
  }
  return colours;
}

Wmf HollowBrush() {
  return std::move(Wmf().Brush(kHollowBrush, 0).Select(0));
}

TEST(ImportObjects, FontTakesASlotAndSelectingItChangesNothing) {
  // Brush in slot 0, font in 1, pen in 2: the pen is found at the number the metafile gave it.
  auto wmf = HollowBrush().Font().Pen(kSolid, kBlue).Select(2).Select(1).Polygon(kTriangle).End();
  EXPECT_EQ(OutlineColours(wmf), (std::vector<int>{kBlueIndex}));
}

TEST(ImportObjects, PatternBrushTakesASlotAndSelectsNothing) {
  const auto imported = ImportForTest(Wmf()
                                          .Brush(kSolid, kRed)          // slot 0
                                          .Brush(kPatternBrush, kBlue)  // slot 1, never drawn with
                                          .Brush(kSolid, kGreen)        // slot 2
                                          .Select(0)
                                          .Select(1)
                                          .Polygon(kTriangle)
                                          .Select(2)
                                          .Polygon(kTriangle)
                                          .End()
                                          .Data());
  ASSERT_EQ(imported.drawing.size(), 4u);
  EXPECT_EQ(imported.drawing[0].Colour(), kRedIndex);
  EXPECT_EQ(imported.drawing[2].Colour(), kGreenIndex);
}

TEST(ImportObjects, EveryObjectCreatingRecordTakesASlot) {
  // Palette, region, pattern brushes, bitmaps, the old CreateBrush: slots 1 to 7.
  auto wmf = HollowBrush()
                 .Palette()
                 .Record(0x06FF, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0})
                 .Record(0x0142, {0, 0})
                 .Record(0x01F9, {0, 0})
                 .Record(0x02FD, {0, 0, 0, 0})
                 .Record(0x06FE, {0, 0, 0, 0})
                 .Record(0x00F8, {0, 0, 0})
                 .Pen(kSolid, kBlue)  // slot 8
                 .Select(8)
                 .Polygon(kTriangle)
                 .End();
  EXPECT_EQ(OutlineColours(wmf), (std::vector<int>{kBlueIndex}));
}

TEST(ImportObjects, DeleteKeepsTheSelectionAndFreesTheSlot) {
  auto wmf = HollowBrush()
                 .Pen(kSolid, kBlue)  // slot 1
                 .Select(1)
                 .Delete(1)
                 .Polygon(kTriangle)   // still blue
                 .Pen(kSolid, kGreen)  // back into slot 1
                 .Select(1)
                 .Polygon(kTriangle)
                 .End();
  EXPECT_EQ(OutlineColours(wmf), (std::vector<int>{kBlueIndex, kGreenIndex}));
}

TEST(ImportObjects, EmptyOrOutOfRangeSlotsSelectNothing) {
  auto wmf = HollowBrush()
                 .Pen(kSolid, kBlue)
                 .Select(1)
                 .Select(2)    // empty
                 .Select(-1)   // outside the table
                 .Select(512)  // outside the table
                 .Delete(-5)
                 .Delete(600)
                 .Delete(2)  // never created
                 .Polygon(kTriangle)
                 .End();
  EXPECT_EQ(OutlineColours(wmf), (std::vector<int>{kBlueIndex}));
}

TEST(ImportObjects, AFullTableIgnoresCreations) {
  Wmf wmf = HollowBrush();
  for (int i = 1; i < kObjectSlotCount - 1; ++i) {
    wmf.Font();
  }
  wmf.Pen(kSolid, kGreen)  // the last slot, 511
      .Pen(kSolid, kBlue)  // no room: nothing
      .Select(511)
      .Polygon(kTriangle)
      .Delete(7)
      .Pen(kSolid, kRed)  // slot 7
      .Select(7)
      .Polygon(kTriangle)
      .End();
  EXPECT_EQ(OutlineColours(wmf), (std::vector<int>{kGreenIndex, kRedIndex}));
}

TEST(ImportSaveRestore, TwoSavesAreRestoredInReverseOrder) {
  auto wmf = HollowBrush()
                 .Pen(kSolid, kRed)
                 .Select(1)
                 .SaveDC()
                 .Pen(kSolid, kGreen)
                 .Select(2)
                 .SaveDC()
                 .Pen(kSolid, kBlue)
                 .Select(3)
                 .Polygon(kTriangle)
                 .RestoreDC()
                 .Polygon(kTriangle)
                 .RestoreDC()
                 .Polygon(kTriangle)
                 .RestoreDC()  // nothing left to restore
                 .Polygon(kTriangle)
                 .End();
  EXPECT_EQ(OutlineColours(wmf), (std::vector<int>{kBlueIndex, kGreenIndex, kRedIndex, kRedIndex}));
}

TEST(ImportSaveRestore, RestoreWithAnotherLevelChangesNothing) {
  auto wmf = HollowBrush()
                 .SaveDC()
                 .Pen(kSolid, kBlue)
                 .Select(1)
                 .RestoreDC(-2)
                 .Polygon(kTriangle)
                 .RestoreDC(1)
                 .Polygon(kTriangle)
                 .End();
  EXPECT_EQ(OutlineColours(wmf), (std::vector<int>{kBlueIndex, kBlueIndex}));
}

TEST(ImportSaveRestore, TheObjectTableIsRestoredWithTheSelection) {
  auto wmf = HollowBrush()
                 .Pen(kSolid, kBlue)  // slot 1
                 .SaveDC()
                 .Delete(1)
                 .Pen(kSolid, kGreen)  // takes slot 1 again
                 .Select(1)
                 .Polygon(kTriangle)
                 .RestoreDC()  // slot 1 holds the blue pen again; black is selected
                 .Polygon(kTriangle)
                 .Select(1)
                 .Polygon(kTriangle)
                 .End();
  EXPECT_EQ(OutlineColours(wmf), (std::vector<int>{kGreenIndex, kBlackIndex, kBlueIndex}));
}

TEST(ImportSaveRestore, AFloodOfSavesIsBoundedAndRestoresStillPair) {
  const std::size_t saves = kMaxSavedStates + 100;
  Wmf wmf = HollowBrush();
  wmf.Pen(kSolid, kRed).Select(1);
  for (std::size_t i = 0; i < saves; ++i) {
    wmf.SaveDC();
  }
  wmf.Pen(kSolid, kBlue).Select(2);
  // The first 100 restores pair with the saves that were not kept: the state stays.
  for (std::size_t i = 0; i < 100; ++i) {
    wmf.RestoreDC();
  }
  wmf.Polygon(kTriangle);
  // The remaining restores pair with kept saves; the last brings back the red pen.
  for (std::size_t i = 0; i < kMaxSavedStates; ++i) {
    wmf.RestoreDC();
  }
  wmf.Polygon(kTriangle).End();
  EXPECT_EQ(OutlineColours(wmf), (std::vector<int>{kBlueIndex, kRedIndex}));
}

TEST(ImportSequence, EveryProducedRecordTakesTheNextNumber) {
  const auto imported = ImportForTest(Wmf()
                                          .Polygon(kTriangle)     // 6826, 6827
                                          .Rectangle(0, 0, 1, 1)  // 6828
                                          .Polyline(kTriangle)    // 6829
                                          .Ellipse(0, 0, 1, 1)    // 6830 for both
                                          .Polygon(kTriangle)     // 6831, 6832
                                          .End()
                                          .Data());
  std::vector<std::uint32_t> numbers;
  for (const auto& record : imported.drawing) {
    numbers.push_back(record.Sequence());
  }
  EXPECT_EQ(numbers, (std::vector<std::uint32_t>{6826, 6827, 6828, 6829, 6830, 6830, 6831, 6832}));
}

TEST(ImportName, IsCutTo31BytesWithTheFieldEndingInZero) {
  const std::string longName(40, 'n');
  const auto imported = ImportForTest(Wmf().End().Data(), 1.0F, longName);
  ASSERT_TRUE(imported.symbol);
  EXPECT_EQ(imported.symbol->GetName(), std::string(31, 'n'));
  EXPECT_EQ(imported.symbol->Bytes()[87], 0);
}

TEST(ImportIndependence, TwoImportsInARowShareNothing) {
  const Bytes first =
      Wmf().Pen(kSolid, kBlue).Select(0).SaveDC().Polygon({{-500, -500}, {900, 900}}).End().Data();
  const Bytes second = Wmf().Polygon({{10, 10}, {20, 30}}).End().Data();
  const auto alone = ImportForTest(second);
  ImportForTest(first);
  const auto after = ImportForTest(second);
  // Neither the box, the pen, the open save nor the numbers of the first import carry over.
  EXPECT_EQ(after.details.box, (BoundingBox{0, 0, 20, 30}));
  ASSERT_TRUE(after.symbol && alone.symbol);
  EXPECT_TRUE(std::ranges::equal(after.symbol->Bytes(), alone.symbol->Bytes()));
  EXPECT_EQ(after.drawing[1].Colour(), kBlackIndex);
  EXPECT_EQ(after.drawing[0].Sequence(), 6826u);
}

TEST(ImportRecords, SkipsLowByteAliasesAndKindsItDoesNotDraw) {
  const auto imported = ImportForTest(Wmf()
                                          .Record(0x0124, {1, 5, 5})        // Polygon's low byte
                                          .Record(0x0213, {5, 5})           // LineTo
                                          .Record(0x0521, {1, 0x41, 0, 0})  // TextOut
                                          .Record(0x0000, {7})  // function 0, not the end
                                          .Polygon({{1, 2}})
                                          .End()
                                          .Data());
  ASSERT_EQ(imported.drawing.size(), 2u);
  EXPECT_EQ(imported.drawing[0].Sequence(), 6826u);
  EXPECT_EQ(imported.details.box, (BoundingBox{0, 0, 1, 2}));
}

TEST(ImportRecords, NothingAfterTheEndRecordIsRead) {
  const auto imported = ImportForTest(Wmf().Polygon({{1, 2}}).End().Polygon({{50, 50}}).Data());
  EXPECT_EQ(imported.drawing.size(), 2u);
  EXPECT_EQ(imported.details.box, (BoundingBox{0, 0, 1, 2}));
}

TEST(ImportRecords, NoDrawingGivesAnEmptyGroup) {
  const auto imported = ImportForTest(Wmf().Pen(kSolid, kRed).Select(0).End().Data());
  ASSERT_EQ(imported.result, ImportSucceeded);
  ASSERT_TRUE(imported.symbol);
  EXPECT_EQ(imported.symbol->Length(), 98u);
  EXPECT_TRUE(imported.drawing.empty());
}

}  // namespace
}  // namespace runebin
