// Fuzz target: a Windows Metafile from bytes, imported as a symbol definition.
//
// The whole input is the metafile. The import must not fail after the first bytes were
// recognised, and what it makes must be one definition whose group closes exactly at its end,
// made only of whole records, named as asked, that a drawing loads back as its only entity; and
// the same import that keeps nothing but what it hands over must hand over just those bytes.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "metafile/ImportMetafile.h"
#include "model/ByteOrder.h"
#include "model/DrawingFile.h"
#include "model/Format.h"

namespace runebin::fuzz {
namespace {

[[noreturn]] void Fail(const char* condition, int line) {
  std::fprintf(stderr, "MetafileFuzzer.cpp:%d: check failed: %s\n", line, condition);
  std::abort();
}

#define FUZZ_CHECK(condition)     \
  do {                            \
    if (!(condition)) {           \
      Fail(#condition, __LINE__); \
    }                             \
  } while (0)

using Bytes = std::vector<std::uint8_t>;

constexpr char kName[] = "Imported symbol with a long name that is cut";

Bytes DrawingHeader() {
  Bytes header(kHeaderSize, 0);
  std::copy(kSignature.begin(), kSignature.end(), header.begin());
  header[kVersionOffset] = kSupportedVersion;
  return header;
}

void CheckSymbol(const SymbolDef& symbol, const ImportDetails& details, float maxSize,
                 std::size_t inputSize) {
  const auto bytes = symbol.Bytes();
  FUZZ_CHECK(bytes.size() == details.outputBytes);
  // At most 82 output bytes per input byte, plus the definition record and the two markers.
  FUZZ_CHECK(bytes.size() <= 82 * inputSize + kDefRecordLength + 2 * kMarkerLength);

  // The definition record, then GroupOpen ... GroupClose, closing exactly at the end.
  FUZZ_CHECK(ReadI32(bytes, kLengthOffset) == static_cast<std::int32_t>(kDefRecordLength));
  FUZZ_CHECK(symbol.GetType() == kTypeSymbolDef);
  FUZZ_CHECK(
      std::equal(std::begin(kGroupOpen), std::end(kGroupOpen), bytes.begin() + kDefRecordLength));
  FUZZ_CHECK(
      std::equal(std::begin(kGroupClose), std::end(kGroupClose), bytes.end() - kMarkerLength));
  FUZZ_CHECK(ScanGroupLength(bytes) == bytes.size());
  FUZZ_CHECK(symbol.GetName() == std::string(kName).substr(0, kMaxNameLength));
  FUZZ_CHECK(bytes[kDefNameOffset + kMaxNameLength] == 0);

  // Extents: the box in metafile units times the maximum size.
  float lowX = 0, lowY = 0, highX = 0, highY = 0;
  symbol.GetExtents(lowX, lowY, highX, highY);
  FUZZ_CHECK(lowX == static_cast<float>(details.box.minX) * maxSize);
  FUZZ_CHECK(lowY == static_cast<float>(details.box.minY) * maxSize);
  FUZZ_CHECK(highX == static_cast<float>(details.box.maxX) * maxSize);
  FUZZ_CHECK(highY == static_cast<float>(details.box.maxY) * maxSize);
  FUZZ_CHECK(details.box.minX <= 0 && details.box.minY <= 0);
  FUZZ_CHECK(details.box.maxX >= 0 && details.box.maxY >= 0);

  // Whole records from end to end: the group body walks by its framing without a gap.
  std::size_t offset = 0;
  while (offset < bytes.size()) {
    const std::size_t length = RecordLength(bytes.subspan(offset));
    FUZZ_CHECK(length != 0);
    offset += length;
  }

  // The factory parses it back as one definition of the same bytes.
  const auto again = CreateEntity(bytes);
  FUZZ_CHECK(dynamic_cast<const SymbolDef*>(again.get()) != nullptr);
  FUZZ_CHECK(again->Length() == bytes.size());

  // And a drawing holding it loads it as its only entity.
  Bytes drawing = DrawingHeader();
  drawing.insert(drawing.end(), bytes.begin(), bytes.end());
  DrawingFile file("");
  FUZZ_CHECK(file.LoadFromMemory(drawing) == LoadResult::Loaded);
  FUZZ_CHECK(file.SymbolDefs().GetSize() == 1);
  FUZZ_CHECK(file.TypeZeroEntities().GetSize() == 0 && file.OtherEntities().GetSize() == 0);
}

// Kept nowhere but in what it hands over, the same symbol comes out, whole and framed.
void CheckStreamed(std::span<const std::uint8_t> input, float maxSize, const SymbolDef& kept) {
  Bytes streamed;
  const FinishedBytes finished = [&](std::size_t offset, std::span<const std::uint8_t> bytes) {
    streamed.resize(std::max(streamed.size(), offset + bytes.size()));
    std::copy(bytes.begin(), bytes.end(), streamed.begin() + static_cast<std::ptrdiff_t>(offset));
  };
  std::unique_ptr<SymbolDef> none;
  ImportDetails details;
  FUZZ_CHECK(ImportMetafileBytes(input, kName, maxSize, none, details, finished,
                                 SymbolBytes::HandedOverOnly) == ImportResult::Succeeded);
  FUZZ_CHECK(none == nullptr && details.handedOver);
  FUZZ_CHECK(
      std::equal(streamed.begin(), streamed.end(), kept.Bytes().begin(), kept.Bytes().end()));
}

void Run(std::span<const std::uint8_t> input) {
  // Two sizes: the measuring pass's own scale, and a typical one.
  for (const float maxSize : {1.0F, 250.0F}) {
    std::unique_ptr<SymbolDef> symbol;
    ImportDetails details;
    const ImportResult result = ImportMetafileBytes(input, kName, maxSize, symbol, details);
    if (result != ImportResult::Succeeded) {
      FUZZ_CHECK(result == ImportResult::ReadFailed || result == ImportResult::UnknownType);
      FUZZ_CHECK(symbol == nullptr);
      FUZZ_CHECK(result != ImportResult::ReadFailed || input.empty());
      continue;
    }
    FUZZ_CHECK(symbol != nullptr);  // no memory shortage at these sizes
    CheckSymbol(*symbol, details, maxSize, input.size());
    CheckStreamed(input, maxSize, *symbol);
  }
}

}  // namespace
}  // namespace runebin::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  runebin::fuzz::Run({data, size});
  return 0;
}
