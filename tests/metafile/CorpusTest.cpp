// The metafile import on the real metafiles kept with the tests, on cut and bit-flipped copies of
// them. What each gives is checked by its structure, which any correct import must have, rather
// than by a second conversion that could share a fault with the first: runs of imports in a row,
// so nothing may carry over from one to the next either.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <random>

#include "metafile/ConvertRecords.h"
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
  const LoadedDrawing drawing(Drawing({symbol}));
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
    // One file was cut by a fuzzer: its last record runs past its end.
    EXPECT_EQ(ImportChecked(ReadFileBytes(file.string()), 100, name),
              name == "poi-61338.wmf" ? WalkEnd::MalformedRecord : WalkEnd::EndRecord);
  }
}

// Cut and bit-flipped copies of every file: a copy ends where its framing ends, unless a record's
// parameters run past it first. Every length up to 64 (the headers) is cut, then random ones.
TEST(Corpus, CutAndFlippedMetafilesImportWellFormed) {
  std::mt19937 random(1234);
  for (const auto& file : CorpusFiles()) {
    const Bytes data = ReadFileBytes(file.string());
    for (std::size_t trial = 0; trial < 240 && !HasFailure(); ++trial) {
      Bytes copy = data;
      if (trial % 2 == 0) {
        copy.resize(trial < 128 ? trial / 2 : random() % data.size());
      } else {
        for (unsigned flips = 1 + random() % 4; flips > 0; --flips) {
          copy[random() % copy.size()] ^= static_cast<std::uint8_t>(1u << random() % 8);
        }
      }
      const auto end = ImportChecked(copy,
                                     trial % 3 == 0   ? 0.0F
                                     : trial % 3 == 1 ? 37.5F
                                                      : 1000,
                                     file.filename().string() + " trial " + std::to_string(trial));
      EXPECT_TRUE(!end || end == FramingEnd(copy) || end == WalkEnd::MalformedParameters);
    }
  }
}

}  // namespace
}  // namespace runebin
