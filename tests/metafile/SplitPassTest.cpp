// The output pass cut in two at a checkpoint of the measuring pass: the halves, one after the
// other or side by side, write the bytes of one pass; and the sinks they write into.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <mutex>

#include "metafile/ConvertRecords.h"
#include "metafile/ImportMetafile.h"
#include "tests/metafile/SymbolBytes.h"
#include "tests/support/MetafileBuilder.h"
#include "tests/support/TempDir.h"

namespace runebin {
namespace {

using namespace runebin::testing;

std::vector<Pt> Star(int seed, int points) {
  std::vector<Pt> star;
  for (int i = 0; i < points; ++i) {
    star.push_back({static_cast<std::int16_t>((seed * 37 + i * 101) % 2000 - 1000),
                    static_cast<std::int16_t>((seed * 53 + i * 211) % 1500 - 700)});
  }
  return star;
}

// Every shape under a pen and brush that change all along (null pens and hollow brushes among
// them), saved states restored only every other time, and objects deleted and created again.
Wmf Busy(int repeats, int points) {
  Wmf wmf;
  wmf.Brush(kSolid, kRed).Pen(kSolid, kBlack).Select(0).Select(1);
  for (int i = 0; i < repeats; ++i) {
    const auto at = static_cast<std::int16_t>(i % 500);
    wmf.SaveDC()
        .Pen(i % 3 == 0 ? kNullPen : kSolid, 0x010203U * static_cast<std::uint32_t>(i))
        .Select(2)
        .Brush(i % 4 == 0 ? kHollowBrush : kSolid, 0x030507U * static_cast<std::uint32_t>(i))
        .Select(3)
        .Polygon(Star(i, points))
        .PolyPolygon({Star(i + 1, points), Star(i + 2, 3)})
        .Ellipse(at, at, static_cast<std::int16_t>(at + 50), static_cast<std::int16_t>(at + 30))
        .Rectangle(at, 0, static_cast<std::int16_t>(at + 9), 9)
        .Polyline(Star(i + 3, points))
        .Delete(2)
        .Delete(3);
    if (i % 2 == 1) {
      wmf.RestoreDC();
    }
  }
  return wmf;
}

Bytes Of(const OutputSink& sink) {
  return Bytes(sink.Bytes().begin(), sink.Bytes().end());
}

TEST(SplitPass, TheHalvesAtEveryRecordWriteWhatOnePassWrites) {
  // Ended, and damaged in the middle (a polygon whose points run past its record).
  const Bytes ended = Busy(6, 5).End().Data();
  const Bytes damaged = Join(
      {Busy(3, 5).Data(), Wmf().Record(kFnPolygon, {9, 1}).Records(), Busy(3, 5).End().Records()});
  for (const Bytes& data : {ended, damaged}) {
    MetafileReader reader;
    ASSERT_EQ(reader.UseBytes(data), ImportResult::Succeeded);
    BoundingBox box;
    PaletteMatcher palette;
    const PassResult whole = ConvertRecords(reader, box, 1.0F, nullptr, palette);
    OutputSink one;
    ConvertRecords(reader, box, 7.5F, &one, palette);
    ASSERT_EQ(one.Bytes().size(), whole.outputBytes);

    int checkpoints = 0;
    for (std::size_t splitAt = 0; splitAt <= data.size(); splitAt += 2) {
      BoundingBox measuredBox;
      PassCheckpoint middle;
      const PassResult measured = MeasureRecords(reader, measuredBox, splitAt, middle);
      ASSERT_EQ(measured.outputBytes, whole.outputBytes);
      ASSERT_EQ(measuredBox, box);
      if (middle.recordOffset == 0) {
        continue;  // past the last record the converter was handed
      }
      ++checkpoints;
      OutputSink serial;
      ConvertRecordsBefore(reader, box, 7.5F, serial, palette, middle);
      EXPECT_EQ(ConvertRecordsFrom(reader, box, 7.5F, serial, palette, middle).outputBytes,
                whole.outputBytes);
      EXPECT_EQ(Of(serial), Of(one)) << splitAt;

      // The second half into the room the first leaves, with a palette of its own.
      OutputSink first;
      ASSERT_TRUE(first.Reserve(whole.outputBytes));
      OutputSink second(first.Room().subspan(middle.outputBytes));
      PaletteMatcher own;
      ConvertRecordsFrom(reader, box, 7.5F, second, own, middle);
      ConvertRecordsBefore(reader, box, 7.5F, first, palette, middle);
      ASSERT_EQ(first.Bytes().size(), middle.outputBytes);
      first.Extend(second.Bytes().size());
      EXPECT_EQ(Of(first), Of(one)) << splitAt;
    }
    EXPECT_GT(checkpoints, 50);
  }
}

// Large enough for the import to write the halves at the same time.
TEST(SplitPass, ALargeImportIsTheBytesOfOnePass) {
  const Bytes data = Busy(3000, 100).End().Data();
  ImportDetails details;
  const Bytes symbol = Imported(data, 100.0F, &details);
  ASSERT_GT(details.drawingBytes, std::size_t{8} << 20);
  MetafileReader reader;
  ASSERT_EQ(reader.UseBytes(data), ImportResult::Succeeded);
  PaletteMatcher palette;
  BoundingBox box = details.box;
  OutputSink one;
  ConvertRecords(reader, box, 100.0F, &one, palette);
  ASSERT_EQ(symbol.size(), 88 + 5 + one.Bytes().size() + 5);
  EXPECT_TRUE(std::equal(one.Bytes().begin(), one.Bytes().end(), symbol.begin() + 93));
}

// What an import hands over as it goes, from one pass or from two halves at once, covers the
// symbol it returns, each place last with its final bytes.
// Handed over as they are made, the bytes are the symbol: kept, or kept nowhere else (then the
// sink holds a few megabytes at a time, and each half checks its framing as it streams).
TEST(SplitPass, TheBytesHandedOverAreTheSymbol) {
  for (const int repeats : {50, 3000}) {
    SCOPED_TRACE(repeats);
    const Bytes data = Busy(repeats, 100).End().Data();
    std::unique_ptr<SymbolDef> kept;
    ASSERT_EQ(ImportMetafileBytes(data, "t", 100.0F, kept), ImportResult::Succeeded);
    ASSERT_NE(kept, nullptr);
    for (const SymbolBytes keep : {SymbolBytes::Kept, SymbolBytes::HandedOverOnly}) {
      std::mutex mutex;
      Bytes file;
      std::vector<bool> covered;
      const FinishedBytes finished = [&](std::size_t offset, std::span<const std::uint8_t> bytes) {
        const std::lock_guard lock(mutex);
        if (file.size() < offset + bytes.size()) {
          file.resize(offset + bytes.size());
          covered.resize(file.size());
        }
        std::ranges::copy(bytes, file.begin() + static_cast<std::ptrdiff_t>(offset));
        std::fill_n(covered.begin() + static_cast<std::ptrdiff_t>(offset), bytes.size(), true);
      };
      std::unique_ptr<SymbolDef> symbol;
      ImportDetails details;
      ASSERT_EQ(ImportMetafileBytes(data, "t", 100.0F, symbol, details, finished, keep),
                ImportResult::Succeeded);
      EXPECT_EQ(symbol == nullptr, keep == SymbolBytes::HandedOverOnly);
      EXPECT_EQ(details.handedOver, keep == SymbolBytes::HandedOverOnly);
      EXPECT_EQ(details.outputBytes, kept->Length());
      EXPECT_TRUE(std::ranges::equal(file, kept->Bytes()));
      EXPECT_TRUE(std::ranges::all_of(covered, std::identity()));
    }
  }
}

// What a streamed symbol is checked for, stretch by stretch.
TEST(RecordFraming, TellsAWholeGroupAndAStretchInsideOne) {
  const Bytes leader = Record(kTypeSymbolDef, Bytes(83, 0));
  const Bytes open = GroupOpen();
  const Bytes close = GroupClose();
  const Bytes path = Record(3, Bytes(40, 1));
  using Kind = RecordFraming::Kind;
  struct Row {
    const char* what;
    Kind kind;
    std::vector<Bytes> stretches;
    bool framed;
  };
  const Row rows[] = {
      {"a group in three stretches", Kind::WholeGroup, {Join({leader, open}), path, close}, true},
      {"never closed", Kind::WholeGroup, {Join({leader, open, path})}, false},
      {"a record after its close", Kind::WholeGroup, {Join({leader, open, close}), path}, false},
      {"a record cut short", Kind::WholeGroup, {Join({leader, open, close}), Bytes(3, 9)}, false},
      {"a balanced stretch", Kind::Stretch, {Join({open, path}), Join({open, close, close})}, true},
      {"closing what it did not open", Kind::Stretch, {Join({close, open})}, false},
      {"left open", Kind::Stretch, {Join({open, path})}, false},
  };
  for (const Row& row : rows) {
    RecordFraming framing(row.kind);
    for (const Bytes& stretch : row.stretches) {
      framing.Take(stretch);
    }
    EXPECT_EQ(framing.Framed(), row.framed) << row.what;
  }
}

// A file large enough to be read while it is walked imports as its bytes do: whole, cut off in
// the middle of a record, and not a metafile at all. A record that the reading leaves in two
// steps (4 MiB each) is waited for, not cut.
TEST(SplitPass, AFileReadWhileItIsWalkedImportsAsItsBytes) {
  const Bytes padding =
      Wmf().Record(0x0626, std::vector<std::uint16_t>(std::size_t{9} << 19, 0x0102)).Records();
  const Bytes whole = Join({Busy(20, 5).Data(), padding, Busy(3000, 30).End().Records()});
  const Bytes cut(whole.begin(), whole.end() - 100000);
  Bytes stranger = whole;
  stranger[0] = 7;
  TempDir dir;
  for (const Bytes& data : {whole, cut, stranger}) {
    std::unique_ptr<SymbolDef> fromFile;
    std::unique_ptr<SymbolDef> fromBytes;
    ImportDetails fileDetails;
    ImportDetails bytesDetails;
    ASSERT_EQ(ImportMetafile(dir.Write("big.wmf", data), "t", 10, fromFile, fileDetails),
              ImportMetafileBytes(data, "t", 10, fromBytes, bytesDetails));
    ASSERT_EQ(fromFile == nullptr, fromBytes == nullptr);
    EXPECT_EQ(fileDetails.walkEnd, bytesDetails.walkEnd);
    if (fromFile) {
      EXPECT_TRUE(std::ranges::equal(fromFile->Bytes(), fromBytes->Bytes()));
    }
  }
}

// A borrowed sink never grows and hands nothing over.
TEST(OutputSink, NeverGrowsBorrowedRoom) {
  Bytes room(10, 0);
  OutputSink borrowed(room);
  EXPECT_NE(borrowed.Extend(10), nullptr);
  EXPECT_EQ(borrowed.Extend(1), nullptr);
  EXPECT_TRUE(borrowed.Failed());
  EXPECT_EQ(borrowed.TakeBytes().data(), nullptr);
}

}  // namespace
}  // namespace runebin
