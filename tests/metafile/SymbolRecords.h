#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "metafile/ImportMetafile.h"
#include "tests/support/DrawingBuilder.h"

namespace runebin::testing {

// One record of an imported symbol, read with the offsets of the drawing format written out
// here, independently of the import's own constants.
struct SymbolRecord {
  Bytes bytes;

  int Type() const { return bytes.size() > 4 ? bytes[4] : -1; }
  bool IsGroupOpen() const { return bytes.size() == 5 && bytes[4] == 0; }
  bool IsGroupClose() const { return bytes.size() == 5 && bytes[4] == 1; }
  int Colour() const { return bytes.at(7); }
  int ColourAgain() const { return bytes.at(8); }
  int Fill() const { return U16(18); }
  std::uint32_t Sequence() const { return U32(24); }
  // Paths (type 3).
  int VertexCount() const { return U16(38); }
  float LastIndex() const { return F32(34); }
  bool Closed() const { return bytes.at(40) == 0x80; }
  std::pair<float, float> Vertex(std::size_t i) const { return {F32(42 + 8 * i), F32(46 + 8 * i)}; }
  // Ellipses (type 8).
  float CentreX() const { return F32(28); }
  float CentreY() const { return F32(32); }
  float Minor() const { return F32(36); }
  float Ratio() const { return F32(40); }

  int U16(std::size_t at) const;
  std::uint32_t U32(std::size_t at) const;
  float F32(std::size_t at) const;
};

// The records of an imported symbol, in order, split by their length fields: the definition,
// GroupOpen, the drawing's records (nested groups flattened), GroupClose. Fails the calling test
// (and stops splitting) at a length that does not fit.
std::vector<SymbolRecord> SplitSymbol(std::span<const std::uint8_t> bytes);

// The drawing's records only: the definition and the outer markers taken away.
std::vector<SymbolRecord> DrawingRecords(std::span<const std::uint8_t> bytes);

// An import from bytes with everything a test looks at.
struct Imported {
  int result = 0;
  std::unique_ptr<SymbolDef> symbol;
  ImportDetails details;
  std::vector<SymbolRecord> drawing;  // DrawingRecords of the symbol, when there is one
};
Imported ImportForTest(const Bytes& metafile, float maxSize = 100.0F,
                       std::string_view name = "test");

}  // namespace runebin::testing
