#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "metafile/ConvertRecords.h"
#include "metafile/ImportMetafile.h"
#include "tests/metafile/ReferenceImport.h"
#include "tests/metafile/SymbolRecords.h"
#include "tests/support/TempDir.h"

namespace runebin {
namespace {

using namespace runebin::testing;

// The real metafiles shared beside the project (absent on a user's machine).
std::vector<std::filesystem::path> CorpusFiles() {
  std::vector<std::filesystem::path> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(RUNEBIN_CORPUS_DIR, error)) {
    if (entry.path().extension() == ".wmf") {
      files.push_back(entry.path());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

// Compares an import's drawing records with the reference's, record by record.
void ExpectSameDrawing(const std::vector<SymbolRecord>& actual,
                       const std::vector<ExpectedRecord>& expected, const std::string& what) {
  ASSERT_EQ(actual.size(), expected.size()) << what;
  for (std::size_t i = 0; i < actual.size(); ++i) {
    const SymbolRecord& a = actual[i];
    const ExpectedRecord& e = expected[i];
    ASSERT_EQ(a.Type(), e.type) << what << " record " << i;
    if (e.type == 0 || e.type == 1) {
      ASSERT_EQ(a.bytes.size(), 5u) << what << " record " << i;
      continue;
    }
    ASSERT_EQ(a.Colour(), e.colour) << what << " record " << i;
    ASSERT_EQ(a.Sequence(), e.sequence) << what << " record " << i;
    if (e.type == 17) {
      continue;
    }
    ASSERT_EQ(a.Fill(), e.fill) << what << " record " << i;
    if (e.type == 3) {
      ASSERT_EQ(a.Closed(), e.closed) << what << " record " << i;
      ASSERT_EQ(a.VertexCount(), e.vertices) << what << " record " << i;
      for (std::size_t v = 0; v < e.points.size(); ++v) {
        ASSERT_EQ(a.Vertex(v), e.points[v]) << what << " record " << i << " vertex " << v;
      }
    }
  }
}

// Imports `data` from memory and holds the result against the reference.
void ExpectLikeReference(const Bytes& data, float maxSize, const std::string& what) {
  const ExpectedImport expected = ReferenceImport(data, maxSize);
  const Imported imported = ImportForTest(data, maxSize, "corpus");
  if (!expected.recognised) {
    EXPECT_NE(imported.result, ImportSucceeded) << what;
    EXPECT_FALSE(imported.symbol) << what;
    return;
  }
  ASSERT_EQ(imported.result, ImportSucceeded) << what;
  ASSERT_TRUE(imported.symbol) << what;
  EXPECT_EQ(imported.details.box, expected.box) << what;
  EXPECT_EQ(imported.symbol->Length(), imported.details.outputBytes) << what;
  ExpectSameDrawing(imported.drawing, expected.records, what);
  // The measuring pass counts exactly the bytes that the output pass writes.
  MetafileReader reader;
  ASSERT_EQ(reader.UseBytes(data), ImportSucceeded);
  BoundingBox box;
  PaletteMatcher palette;
  const PassResult measured = ConvertRecords(reader, box, 1.0F, nullptr, palette);
  EXPECT_EQ(measured.outputBytes + 98, imported.details.outputBytes) << what;
}

TEST(Corpus, EveryFileImportsWithTheRecordsItsShapesCallFor) {
  const auto files = CorpusFiles();
  if (files.empty()) {
    GTEST_SKIP() << "no shared metafile corpus at " RUNEBIN_CORPUS_DIR;
  }
  EXPECT_EQ(files.size(), 14u);
  for (const auto& file : files) {
    const std::string name = file.filename().string();
    std::unique_ptr<SymbolDef> symbol;
    ImportDetails details;
    ASSERT_EQ(ImportMetafile(file.string(), name, 100.0F, symbol, details), ImportSucceeded)
        << name;
    ASSERT_TRUE(symbol) << name;
    EXPECT_EQ(symbol->GetName(), name.substr(0, 31));
    // One file was cut by a fuzzer: its last record runs past the end.
    EXPECT_EQ(details.walkEnd,
              name == "poi-61338.wmf" ? WalkEnd::MalformedRecord : WalkEnd::EndRecord)
        << name;

    const Bytes data = ReadFileBytes(file.string());
    const ExpectedImport expected = ReferenceImport(data, 100.0F);
    const auto drawing = DrawingRecords(symbol->Bytes());
    ExpectSameDrawing(drawing, expected.records, name);
    EXPECT_EQ(details.box, expected.box) << name;

    // Every shape record met is accounted for: each rectangle is one closed 4-vertex path, each
    // ellipse one or two ellipse records with one number, each set of polygons is groups only.
    const auto count = [&](auto predicate) {
      return std::count_if(drawing.begin(), drawing.end(), predicate);
    };
    const auto ellipseNumbers = [&] {
      std::vector<std::uint32_t> numbers;
      for (const auto& r : drawing) {
        if (r.Type() == 8) {
          numbers.push_back(r.Sequence());
        }
      }
      return std::set<std::uint32_t>(numbers.begin(), numbers.end()).size();
    };
    EXPECT_EQ(static_cast<int>(ellipseNumbers()), expected.ellipses) << name;
    EXPECT_LE(count([](const SymbolRecord& r) { return r.Type() == 3 && !r.Closed(); }),
              expected.polylines)
        << name;
    EXPECT_LE(count([](const SymbolRecord& r) { return r.Type() == 17; }),
              2 * std::count_if(drawing.begin(), drawing.end(),
                                [](const SymbolRecord& r) { return r.Type() == 3; }))
        << name;
  }
}

TEST(CorpusDamaged, EveryCutOfEveryFileImportsLikeTheReference) {
  const auto files = CorpusFiles();
  if (files.empty()) {
    GTEST_SKIP() << "no shared metafile corpus at " RUNEBIN_CORPUS_DIR;
  }
  for (const auto& file : files) {
    const Bytes data = ReadFileBytes(file.string());
    // Every length for the small files; for the others about 150 cuts, always including the
    // first 64 lengths (the headers).
    const std::size_t step = std::max<std::size_t>(1, data.size() / 150);
    for (std::size_t size = 0; size < data.size(); size += size < 64 ? 1 : step) {
      ExpectLikeReference(Bytes(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(size)),
                          37.5F, file.filename().string() + " cut at " + std::to_string(size));
      if (HasFatalFailure()) {
        return;
      }
    }
  }
}

TEST(CorpusDamaged, FlippedBytesImportLikeTheReference) {
  const auto files = CorpusFiles();
  if (files.empty()) {
    GTEST_SKIP() << "no shared metafile corpus at " RUNEBIN_CORPUS_DIR;
  }
  std::mt19937 random(1234);
  for (const auto& file : files) {
    const Bytes original = ReadFileBytes(file.string());
    for (int trial = 0; trial < 60; ++trial) {
      Bytes data = original;
      const int flips = 1 + static_cast<int>(random() % 4);
      for (int f = 0; f < flips; ++f) {
        data[random() % data.size()] ^= static_cast<std::uint8_t>(1u << (random() % 8));
      }
      ExpectLikeReference(data, 1000.0F,
                          file.filename().string() + " trial " + std::to_string(trial));
      if (HasFatalFailure()) {
        return;
      }
    }
  }
}

}  // namespace
}  // namespace runebin
