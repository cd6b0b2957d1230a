#pragma once

#include <string>
#include <vector>

#include "metafile/ImportMetafile.h"
#include "model/ByteOrder.h"
#include "tests/support/DrawingBuilder.h"

namespace runebin::testing {

// The records an import writes, spelled out with the drawing format's offsets, and the import
// itself as bytes in and bytes out.

// The fields that paths, ellipses and groups share: colour twice, draw flag, fill, number.
inline Bytes Shape(std::uint8_t type, std::size_t length, int colour, int draw, int fill,
                   std::uint32_t number) {
  Bytes record = Record(type, Bytes(length - 5, 0));
  record[7] = record[8] = static_cast<std::uint8_t>(colour);
  PutU16(&record[12], static_cast<std::uint16_t>(draw));
  PutU16(&record[18], static_cast<std::uint16_t>(fill));
  PutU32(&record[24], number);
  return record;
}

// A path (type 3) through the points x0, y0, x1, y1, ...
inline Bytes PathRec(int colour, int fill, std::uint32_t number, bool closed,
                     const std::vector<float>& xy) {
  const auto count = static_cast<std::uint16_t>(xy.size() / 2);
  Bytes record = Shape(3, 42 + 4 * xy.size(), colour, 1, fill, number);
  record[29] = 8;
  PutF32(&record[34], static_cast<float>(count) - 1);
  PutU16(&record[38], count);
  record[40] = closed ? 0x80 : 0;
  for (std::size_t i = 0; i < xy.size(); ++i) {
    PutF32(&record[42 + 4 * i], xy[i]);
  }
  return record;
}

// An ellipse (type 8): centre x and y, the smaller half-axis, half-width / half-height.
inline Bytes EllipseRec(int colour, int fill, std::uint32_t number,
                        const std::vector<float>& geometry) {
  Bytes record = Shape(8, 48, colour, 1, fill, number);
  for (std::size_t i = 0; i < 4; ++i) {
    PutF32(&record[28 + 4 * i], geometry[i]);
  }
  return record;
}

// A group (type 17) around one path.
inline Bytes GroupRec(int colour, std::uint32_t number, const Bytes& path) {
  return Join({Shape(17, 30, colour, 0, 1, number), GroupOpen(), path, GroupClose()});
}

// The symbol named "t" that holds `records` and whose box is `box`, at `maxSize`.
inline Bytes SymbolOf(const BoundingBox& box, float maxSize, const std::vector<Bytes>& records) {
  return Definition(
      "t", records,
      {box.minX * maxSize, box.minY * maxSize, box.maxX * maxSize, box.maxY * maxSize});
}

// The symbol named "t" that importing `metafile` makes; empty without one.
inline Bytes Imported(const Bytes& metafile, float maxSize = 100.0F,
                      ImportDetails* details = nullptr) {
  std::unique_ptr<SymbolDef> symbol;
  ImportDetails ignored;
  ImportMetafileBytes(metafile, "t", maxSize, symbol, details != nullptr ? *details : ignored);
  return symbol ? Bytes(symbol->Bytes().begin(), symbol->Bytes().end()) : Bytes{};
}

// An imported symbol's drawing in short: "P167f" a filled path in colour 167, "P0" an outline,
// "E" an ellipse, "G" a group, "(" and ")" its markers.
inline std::string Summary(const Bytes& symbol) {
  std::string out;
  std::size_t length = 5;
  for (std::size_t at = 93; at + 5 < symbol.size() && length >= 5; at += length) {
    length = symbol[at] | symbol[at + 1] << 8;
    const int type = symbol[at + 4];
    out += out.empty() ? "" : " ";
    if (type <= 1) {
      out += type == 0 ? "(" : ")";
    } else {
      out += (type == 3   ? "P"
              : type == 8 ? "E"
                          : "G") +
             std::to_string(symbol[at + 7]) + (type != 17 && symbol[at + 18] != 0 ? "f" : "");
    }
  }
  return out;
}

}  // namespace runebin::testing
