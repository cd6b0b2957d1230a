#include "tests/metafile/SymbolRecords.h"

#include <gtest/gtest.h>

#include <bit>

namespace runebin::testing {

int SymbolRecord::U16(std::size_t at) const {
  return bytes.at(at) | bytes.at(at + 1) << 8;
}

std::uint32_t SymbolRecord::U32(std::size_t at) const {
  return static_cast<std::uint32_t>(U16(at)) | static_cast<std::uint32_t>(U16(at + 2)) << 16;
}

float SymbolRecord::F32(std::size_t at) const {
  return std::bit_cast<float>(U32(at));
}

std::vector<SymbolRecord> SplitSymbol(std::span<const std::uint8_t> bytes) {
  std::vector<SymbolRecord> records;
  std::size_t offset = 0;
  while (offset < bytes.size()) {
    if (bytes.size() - offset < 5) {
      ADD_FAILURE() << "a record header is cut at byte " << offset;
      break;
    }
    const std::uint32_t length = bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 |
                                 static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
    if (length < 5 || length > bytes.size() - offset) {
      ADD_FAILURE() << "record length " << length << " does not fit at byte " << offset;
      break;
    }
    records.push_back({Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                             bytes.begin() + static_cast<std::ptrdiff_t>(offset + length))});
    offset += length;
  }
  return records;
}

std::vector<SymbolRecord> DrawingRecords(std::span<const std::uint8_t> bytes) {
  std::vector<SymbolRecord> records = SplitSymbol(bytes);
  if (records.size() < 3 || records[0].Type() != 28 || !records[1].IsGroupOpen() ||
      !records.back().IsGroupClose()) {
    ADD_FAILURE() << "not a definition followed by its group";
    return {};
  }
  return std::vector<SymbolRecord>(records.begin() + 2, records.end() - 1);
}

Imported ImportForTest(const Bytes& metafile, float maxSize, std::string_view name) {
  Imported imported;
  imported.result = ImportMetafileBytes(metafile, name, maxSize, imported.symbol, imported.details);
  if (imported.symbol) {
    imported.drawing = DrawingRecords(imported.symbol->Bytes());
  }
  return imported;
}

}  // namespace runebin::testing
