#include <gtest/gtest.h>
#include <sys/mman.h>

#include <filesystem>
#include <fstream>

#include "metafile/ImportMetafile.h"
#include "metafile/MetafileReader.h"
#include "metafile/RecordKinds.h"
#include "tests/metafile/SymbolRecords.h"
#include "tests/metafile/WmfBuilder.h"
#include "tests/support/TempDir.h"

namespace runebin {
namespace {

using namespace runebin::testing;

// Where the records of `data` start, or the recognition's failure.
struct Recognised {
  int result;
  std::size_t headerOffset;
};

Recognised Recognise(const Bytes& data) {
  std::size_t offset = 999;
  const int result = RecogniseMetafile(data, offset);
  return {result, offset};
}

// Every record handed on: function and parameter count.
class Recorder final : public RecordHandler {
 public:
  bool OnRecord(std::uint16_t function, std::span<const std::uint8_t> parameters) override {
    seen.push_back({function, parameters.size()});
    return function != rejected;
  }
  std::vector<std::pair<std::uint16_t, std::size_t>> seen;
  std::uint16_t rejected = 0xFFFF;
};

TEST(MetafileRecognition, TellsStandardFromPlaceableFromOther) {
  EXPECT_EQ(Recognise({}).result, ImportReadFailed);
  EXPECT_EQ(Recognise({0x01, 0x00, 0x09, 0x00}).result, ImportSucceeded);
  EXPECT_EQ(Recognise({0x01, 0x00, 0x09, 0x00}).headerOffset, 0u);
  EXPECT_EQ(Recognise({0x00, 0x00, 0x12, 0x34}).result, ImportSucceeded);
  EXPECT_EQ(Recognise({0x02, 0x00, 0x09, 0x00}).result, ImportUnknownType);
  EXPECT_EQ(Recognise({0xD7, 0xCD, 0xC6, 0x9A}).result, ImportSucceeded);
  EXPECT_EQ(Recognise({0xD7, 0xCD, 0xC6, 0x9A}).headerOffset, 22u);
  EXPECT_EQ(Recognise({0xD7, 0xCD, 0xC6, 0x9B}).result, ImportUnknownType);
  EXPECT_EQ(Recognise(Header()).result, ImportUnknownType);  // a drawing file
  // Data shorter than 32 bits: the missing bytes count as zero.
  EXPECT_EQ(Recognise({0x01}).result, ImportSucceeded);
  EXPECT_EQ(Recognise({0xD7, 0xCD}).result, ImportUnknownType);
}

TEST(MetafileWalk, StartsEighteenBytesAfterEitherHeader) {
  for (Wmf wmf : {Wmf(), Wmf().Placeable()}) {
    const Bytes data = wmf.SaveDC().End().Data();
    std::size_t offset = 0;
    ASSERT_EQ(RecogniseMetafile(data, offset), ImportSucceeded);
    Recorder recorder;
    EXPECT_EQ(WalkRecords(data, offset, recorder), WalkEnd::EndRecord);
    EXPECT_EQ(recorder.seen.size(), 1u);
    EXPECT_EQ(data.size(), offset + 18 + 6 + 6);
  }
}

TEST(MetafileWalk, HandsOnHandledAndObjectCreatingKindsOnly) {
  const Bytes data = Wmf()
                         .Record(0x0213, {1, 2})  // LineTo
                         .Record(0x0124, {0})     // shares Polygon's low byte
                         .Font()
                         .Record(0x0201, {0, 0})  // SetBkColor
                         .Record(0x0000, {})      // the end
                         .Data();
  Recorder recorder;
  EXPECT_EQ(WalkRecords(data, 0, recorder), WalkEnd::EndRecord);
  EXPECT_EQ(recorder.seen, (std::vector<std::pair<std::uint16_t, std::size_t>>{
                               {0x0124, 2}, {0x02FB, 24}, {0x0201, 4}}));
}

TEST(MetafileWalk, EndsAtDamagedRecordsKeepingWhatCameBefore) {
  struct Case {
    const char* what;
    Bytes data;
    WalkEnd end;
  };
  const Case cases[] = {
      {"no end record", Wmf().SaveDC().Data(), WalkEnd::EndOfData},
      {"a record header cut short", Wmf().SaveDC().Raw({3, 0, 0}).Data(), WalkEnd::EndOfData},
      {"size 0 would never advance", Wmf().SaveDC().RecordSized(0, 0x001E).End().Data(),
       WalkEnd::MalformedRecord},
      {"size 2", Wmf().SaveDC().RecordSized(2, 0x001E).End().Data(), WalkEnd::MalformedRecord},
      {"runs past the data", Wmf().SaveDC().RecordSized(50, 0x001E, {1, 2}).Data(),
       WalkEnd::MalformedRecord},
      {"size near 2^32", Wmf().SaveDC().RecordSized(0xFFFFFFFF, 0x001E).End().Data(),
       WalkEnd::MalformedRecord},
      {"parameters refused", Wmf().SaveDC().Record(0x012D, {1}).SaveDC().End().Data(),
       WalkEnd::MalformedParameters},
  };
  for (const Case& c : cases) {
    Recorder recorder;
    recorder.rejected = 0x012D;
    EXPECT_EQ(WalkRecords(c.data, 0, recorder), c.end) << c.what;
    ASSERT_GE(recorder.seen.size(), 1u) << c.what;
    EXPECT_EQ(recorder.seen[0].first, 0x001E) << c.what;
    EXPECT_LE(recorder.seen.size(), 2u) << c.what;
  }
}

TEST(MetafileWalk, HeaderLongerThanTheDataHasNoRecords) {
  Recorder recorder;
  EXPECT_EQ(WalkRecords(Bytes{1, 0, 9, 0}, 0, recorder), WalkEnd::EndOfData);
  EXPECT_EQ(WalkRecords(Bytes{0xD7, 0xCD, 0xC6, 0x9A}, 22, recorder), WalkEnd::EndOfData);
  EXPECT_TRUE(recorder.seen.empty());
}

TEST(ImportDamaged, ParametersRunningPastTheirRecordEndTheWalkThere) {
  struct Case {
    const char* what;
    Wmf wmf;
  };
  // Each case: a polygon that is kept, then a damaged record, then a polygon that is not reached.
  const Case cases[] = {
      {"point count past the record", Wmf().Record(0x0324, {5, 1, 1})},
      {"polyline count past the record", Wmf().Record(0x0325, {2, 1, 1, 2})},
      {"polygon count missing", Wmf().Record(0x0324, {})},
      {"set counts past the record", Wmf().Record(0x0538, {3, 1})},
      {"set points past the record", Wmf().Record(0x0538, {1, 2, 5, 5})},
      {"rectangle too short", Wmf().Record(0x041B, {1, 2, 3})},
      {"ellipse too short", Wmf().Record(0x0418, {})},
      {"pen too short", Wmf().Record(0x02FA, {0, 1, 0, 0})},
      {"brush too short", Wmf().Record(0x02FC, {0, 0})},
      {"select without a slot", Wmf().Record(0x012D, {})},
      {"delete without a slot", Wmf().Record(0x01F0, {})},
      {"restore without a level", Wmf().Record(0x0127, {})},
  };
  for (const Case& c : cases) {
    Wmf wmf;
    wmf.Polygon({{10, 20}}).Raw(Bytes(c.wmf.Data().begin() + 18, c.wmf.Data().end()));
    wmf.Polygon({{500, 500}}).End();
    const auto imported = ImportForTest(wmf.Data());
    EXPECT_EQ(imported.result, ImportSucceeded) << c.what;
    EXPECT_EQ(imported.details.walkEnd, WalkEnd::MalformedParameters) << c.what;
    EXPECT_EQ(imported.drawing.size(), 2u) << c.what;
    EXPECT_EQ(imported.details.box, (BoundingBox{0, 0, 10, 20})) << c.what;
  }
}

TEST(ImportDamaged, RecordsLongerThanTheirParametersAreFine) {
  // Rectangle and pen with extra words after the parameters the import reads.
  const auto imported = ImportForTest(Wmf()
                                          .Record(0x02FA, {0, 1, 0, 0xFF, 0, 7, 7})
                                          .Select(0)
                                          .Record(0x041B, {50, 100, 0, 0, 9, 9})
                                          .End()
                                          .Data());
  ASSERT_EQ(imported.drawing.size(), 1u);
  EXPECT_EQ(imported.drawing[0].Colour(), 167);
  EXPECT_EQ(imported.details.walkEnd, WalkEnd::EndRecord);
}

TEST(ImportDamaged, WorstCaseOutputStaysWithinItsBound) {
  // A set of polygons whose counts are all 0 makes the most output per input byte.
  const std::vector<std::vector<Pt>> empty(30000);
  const Bytes data = Wmf().PolyPolygon(empty).End().Data();
  const auto imported = ImportForTest(data);
  ASSERT_TRUE(imported.symbol);
  EXPECT_EQ(imported.drawing.size(), 30000u * 8);
  EXPECT_LE(imported.symbol->Length(), 82 * data.size() + 98);
}

class ImportFile : public ::testing::Test {
 protected:
  TempDir dir;
  std::unique_ptr<SymbolDef> symbol;
};

TEST_F(ImportFile, ReportsFilesThatCannotBeOpenedOrRead) {
  EXPECT_EQ(ImportMetafile(dir.Path("missing.wmf"), "x", 10, symbol), ImportOpenFailed);
  EXPECT_EQ(ImportMetafile(dir.Write("empty.wmf", {}), "x", 10, symbol), ImportReadFailed);
  EXPECT_EQ(ImportMetafile(dir.Path(), "x", 10, symbol), ImportReadFailed);  // a folder
  EXPECT_EQ(ImportMetafile(dir.Write("a.pvx", Header()), "x", 10, symbol), ImportUnknownType);
  EXPECT_FALSE(symbol);
}

TEST_F(ImportFile, GivesTheSameSymbolAsTheBytes) {
  const Bytes data = Wmf().Placeable().Pen(kSolid, kBlue).Select(0).Polygon({{3, 4}}).End().Data();
  ASSERT_EQ(ImportMetafile(dir.Write("a.wmf", data), "a.wmf", 10, symbol), ImportSucceeded);
  ASSERT_TRUE(symbol);
  const auto fromBytes = ImportForTest(data, 10, "a.wmf");
  EXPECT_TRUE(std::ranges::equal(symbol->Bytes(), fromBytes.symbol->Bytes()));
}

TEST_F(ImportFile, AFailedImportLeavesNoSymbolBehind) {
  const Bytes data = Wmf().Polygon({{3, 4}}).End().Data();
  ASSERT_EQ(ImportMetafile(dir.Write("a.wmf", data), "a", 10, symbol), ImportSucceeded);
  ASSERT_TRUE(symbol);
  EXPECT_EQ(ImportMetafile(dir.Path("missing.wmf"), "a", 10, symbol), ImportOpenFailed);
  EXPECT_FALSE(symbol);
}

// A metafile whose only polygon straddles the 128 MiB mark: only the part before the mark is
// used, so the polygon is cut off and the walk ends there. Built sparse: an Escape record skips
// almost all of it.
Bytes StraddlingHead() {
  return Wmf().Record(0x0626, {}).Data();
}
constexpr std::size_t kStraddleSize = kMetafileReadLimit + 4096;

void FillStraddling(std::uint8_t* data) {
  const Bytes head = StraddlingHead();
  std::copy(head.begin(), head.end(), data);
  const std::size_t polygonAt = kMetafileReadLimit - 8;
  const auto skipWords = static_cast<std::uint32_t>((polygonAt - 18) / 2);
  for (int i = 0; i < 4; ++i) {
    data[18 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(skipWords >> (8 * i));
  }
  const Bytes polygon = Wmf().Polygon({{7, 7}, {8, 8}}).End().Data();
  std::copy(polygon.begin() + 18, polygon.end(), data + polygonAt);
}

TEST(ImportLimit, BytesBeyond128MiBAreIgnored) {
  void* memory = ::mmap(nullptr, kStraddleSize, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  ASSERT_NE(memory, MAP_FAILED);
  auto* data = static_cast<std::uint8_t*>(memory);
  FillStraddling(data);
  std::unique_ptr<SymbolDef> symbol;
  ImportDetails details;
  EXPECT_EQ(ImportMetafileBytes({data, kStraddleSize}, "big", 1, symbol, details), ImportSucceeded);
  EXPECT_EQ(details.walkEnd, WalkEnd::MalformedRecord);
  EXPECT_EQ(details.box, BoundingBox{});
  // The same data cut at the mark by the caller gives the same result.
  std::unique_ptr<SymbolDef> cut;
  EXPECT_EQ(ImportMetafileBytes({data, kMetafileReadLimit}, "big", 1, cut), ImportSucceeded);
  EXPECT_TRUE(std::ranges::equal(symbol->Bytes(), cut->Bytes()));
  ::munmap(memory, kStraddleSize);
}

TEST(ImportLimit, FilesBeyond128MiBAreReadUpToTheMark) {
  void* memory = ::mmap(nullptr, kStraddleSize, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  ASSERT_NE(memory, MAP_FAILED);
  auto* data = static_cast<std::uint8_t*>(memory);
  FillStraddling(data);
  // Written sparse: only the head and the straddling polygon hold data.
  TempDir dir;
  const std::string path = dir.Path("big.wmf");
  {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(data), 64);
    const auto tail = static_cast<std::streamoff>(kMetafileReadLimit - 8);
    file.seekp(tail);
    file.write(reinterpret_cast<const char*>(data + tail), 64);
  }
  std::filesystem::resize_file(path, kStraddleSize);
  ::munmap(memory, kStraddleSize);

  std::unique_ptr<SymbolDef> symbol;
  ImportDetails details;
  EXPECT_EQ(ImportMetafile(path, "big", 1, symbol, details), ImportSucceeded);
  EXPECT_EQ(details.walkEnd, WalkEnd::MalformedRecord);
  EXPECT_EQ(details.box, BoundingBox{});
}

}  // namespace
}  // namespace runebin
