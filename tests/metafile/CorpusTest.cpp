// The metafile import on the real metafiles kept with the tests, on cut and bit-flipped copies of
// them and on random record sequences. What each gives is checked by its structure, which any
// correct import must have, rather than by a second conversion that could share a fault with the
// first: runs of imports in a row, so nothing may carry over from one to the next either.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>

#include "metafile/ConvertRecords.h"
#include "metafile/RecordKinds.h"
#include "model/ByteOrder.h"
#include "model/DrawingFile.h"
#include "model/Format.h"
#include "model/NamedEntity.h"
#include "tests/metafile/SymbolBytes.h"
#include "tests/support/MetafileBuilder.h"
#include "tests/support/TempDir.h"

namespace runebin {
namespace {

using namespace runebin::testing;

// How the records of `data` end, found by their sizes alone (what a record holds is not read).
WalkEnd FramingEnd(const Bytes& data) {
  std::size_t at = 0;
  if (RecogniseMetafile(data, at) != ImportResult::Succeeded || data.size() < at + 18) {
    return WalkEnd::EndOfData;
  }
  for (at += 18; data.size() - at >= 6; at += 2 * std::size_t{*ReadU32(data, at)}) {
    const std::uint32_t words = *ReadU32(data, at);
    if (words == 3 && *ReadU16(data, at + 4) == 0) {
      return WalkEnd::EndRecord;
    }
    if (words < 3 || 2 * std::uint64_t{words} > data.size() - at) {
      return WalkEnd::MalformedRecord;
    }
  }
  return WalkEnd::EndOfData;
}

// The shape of any symbol an import makes: the 88-byte definition named "t" with the box times
// Max Size as its extents, one group closed by the last five bytes and nothing after it, and a
// drawing file reads it back as one definition of that length.
void ExpectWellFormed(const Bytes& symbol, const ImportDetails& details, float maxSize) {
  EXPECT_EQ(*ReadU32(symbol, 0), kDefRecordLength);
  EXPECT_EQ(symbol[kTypeOffset], kTypeSymbolDef);
  const std::unique_ptr<Entity> definition = CreateEntity(symbol);
  ASSERT_EQ(definition->Length(), symbol.size());
  EXPECT_EQ(definition->AsNamed()->GetName(), "t");
  float extents[4];
  definition->GetExtents(extents[0], extents[1], extents[2], extents[3]);
  const BoundingBox& box = details.box;
  EXPECT_EQ(std::vector<float>(extents, extents + 4),
            (std::vector<float>{box.minX * maxSize, box.minY * maxSize, box.maxX * maxSize,
                                box.maxY * maxSize}));
  int depth = 0;
  for (std::size_t at = kDefRecordLength; at < symbol.size(); at += *ReadU32(symbol, at)) {
    ASSERT_TRUE(depth > 0 || at == kDefRecordLength) << "a record after the group, at " << at;
    ASSERT_GE(*ReadU32(symbol, at), kMarkerLength) << at;
    depth += symbol[at + 4] == kMarkerOpen ? 1 : symbol[at + 4] == kMarkerClose ? -1 : 0;
  }
  EXPECT_EQ(depth, 0);
  DrawingFile drawing("");
  ASSERT_EQ(drawing.LoadFromMemory(Drawing({symbol})), LoadResult::Loaded);
  EXPECT_EQ(drawing.SymbolDefs().GetSize() + drawing.OtherEntities().GetSize(), 1);
  EXPECT_EQ(drawing.SymbolDefs().GetAt(0).Length(), symbol.size());
}

// Imports `data`, checks what it gave (a symbol exactly when the data is recognised, well formed,
// as long as the measuring pass counted) and returns how the walk ended, if there was one.
std::optional<WalkEnd> ImportChecked(const Bytes& data, float maxSize, const std::string& what) {
  SCOPED_TRACE(what);
  ImportDetails details;
  const Bytes symbol = Imported(data, maxSize, &details);
  std::size_t headerOffset = 0;
  EXPECT_EQ(symbol.empty(), RecogniseMetafile(data, headerOffset) != ImportResult::Succeeded);
  if (symbol.empty()) {
    return std::nullopt;
  }
  ExpectWellFormed(symbol, details, maxSize);
  MetafileReader reader;
  reader.UseBytes(data);
  BoundingBox measured;
  PaletteMatcher palette;
  EXPECT_EQ(ConvertRecords(reader, measured, 1.0F, nullptr, palette).outputBytes + 98,
            symbol.size());
  return details.walkEnd;
}

std::vector<std::filesystem::path> CorpusFiles() {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(RUNEBIN_CORPUS_DIR)) {
    if (entry.path().extension() == ".wmf") {
      files.push_back(entry.path());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

TEST(Corpus, EveryRealFileImportsWhole) {
  const auto files = CorpusFiles();
  ASSERT_GE(files.size(), 10U) << "the metafiles in " RUNEBIN_CORPUS_DIR " are missing";
  for (const auto& file : files) {
    const std::string name = file.filename().string();
    std::unique_ptr<SymbolDef> symbol;
    ASSERT_EQ(ImportMetafile(file.string(), name, 100, symbol), ImportResult::Succeeded) << name;
    EXPECT_EQ(symbol->GetName(), name.substr(0, 31));
    // One file was cut by a fuzzer: its last record runs past its end.
    EXPECT_EQ(ImportChecked(ReadFileBytes(file.string()), 100, name),
              name == "poi-61338.wmf" ? WalkEnd::MalformedRecord : WalkEnd::EndRecord);
  }
}

// Objects, selections and saved states mostly, with shapes now and then, and when `damaged`
// records too short for what is read from them.
Bytes RandomMetafile(std::mt19937& random, bool damaged) {
  const auto pick = [&](int n) { return static_cast<std::int16_t>(random() % unsigned(n)); };
  const std::uint32_t colours[] = {kBlack, kRed, kGreen, kBlue, 0x8CE6F0};
  Wmf w;
  for (int i = 0; i < 300; ++i) {
    const std::uint32_t colour = colours[pick(5)];
    const std::int16_t style = pick(6), slot = static_cast<std::int16_t>(pick(14) - 1);
    const Pt a{static_cast<std::int16_t>(pick(200) - 100), pick(100)};
    const Pt b{pick(100), static_cast<std::int16_t>(pick(200) - 100)};
    const auto kind = static_cast<std::size_t>(pick(21)), words = static_cast<std::size_t>(pick(5));
    const std::function<void()> steps[] = {
        [&] { w.Pen(style, colour); },
        [&] { w.Brush(static_cast<std::int16_t>(style % 4), colour); },
        [&] { w.Font(); },
        [&] { w.Select(slot); },
        [&] { w.Delete(slot); },
        [&] { w.SaveDC(); },
        [&] { w.RestoreDC(style == 0 ? -2 : -1); },
        [&] {
          w.Polygon({a, b, {0, 0}}).Polyline({b, a, {0, 0}});
        },
        [&] {
          w.PolyPolygon({{a, b}, {}, {b}});
        },
        [&] { w.Rectangle(a.x, a.y, b.x, b.y).Ellipse(b.x, b.y, a.x, a.y); },
        // One of the 21 handled kinds (the table's first rows) with up to 4 parameter words.
        [&] { w.Record(RecordKindTable[kind].function, std::vector<std::uint16_t>(words, 1)); },
    };
    steps[pick(damaged ? 11 : 10)]();
  }
  return w.End().Data();
}

// A cut copy ends where its framing ends, unless a record's parameters run past it first; a
// flipped copy may also end at parameters that no longer fit.
TEST(Corpus, CutFlippedAndRandomMetafilesImportWellFormed) {
  std::mt19937 random(1234);
  for (const auto& file : CorpusFiles()) {
    const Bytes data = ReadFileBytes(file.string());
    const std::string name = file.filename().string();
    // Every length up to 64 (the headers), then about 150 cuts.
    const std::size_t step = std::max<std::size_t>(1, data.size() / 150);
    for (std::size_t size = 0; size < data.size() && !HasFailure(); size += size < 64 ? 1 : step) {
      const Bytes cut(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(size));
      const auto end = ImportChecked(cut, 37.5F, name + " cut at " + std::to_string(size));
      EXPECT_TRUE(!end || end == FramingEnd(cut) || end == WalkEnd::MalformedParameters) << size;
    }
    for (int trial = 0; trial < 60 && !HasFailure(); ++trial) {
      Bytes flipped = data;
      for (unsigned flips = 1 + random() % 4; flips > 0; --flips) {
        flipped[random() % flipped.size()] ^= static_cast<std::uint8_t>(1u << random() % 8);
      }
      const auto end = ImportChecked(flipped, 1000, name + " flipped " + std::to_string(trial));
      EXPECT_TRUE(!end || end == FramingEnd(flipped) || end == WalkEnd::MalformedParameters)
          << trial;
    }
  }
  for (int run = 0; run < 200 && !HasFailure(); ++run) {
    const Bytes metafile = RandomMetafile(random, run % 2 == 1);
    const auto end = ImportChecked(metafile, run % 3 == 0 ? 0.0F : 50.0F,
                                   "random metafile " + std::to_string(run));
    EXPECT_TRUE(end == WalkEnd::EndRecord || run % 2 == 1) << run;
  }
}

}  // namespace
}  // namespace runebin
