#pragma once

#include <cstdint>
#include <vector>

#include "metafile/RecordKinds.h"
#include "tests/support/DrawingBuilder.h"

namespace runebin::testing {

struct Pt {
  std::int16_t x = 0;
  std::int16_t y = 0;
};

// Builds metafile bytes record by record, so that tests say what a metafile holds:
//
//   Wmf().Brush(kSolid, kRed).Select(0).Polygon({{0, 0}, {100, 0}}).End().Data()
//
// A standard metafile unless Placeable() is called first.
class Wmf {
 public:
  Wmf();
  // Starts over as a placeable metafile (22-byte header before the standard one).
  Wmf& Placeable();

  // A record of `function` with these parameter words; its size is 3 + words.
  Wmf& Record(std::uint16_t function, const std::vector<std::uint16_t>& words = {});
  // A record whose size field says `sizeWords`, whatever follows it.
  Wmf& RecordSized(std::uint32_t sizeWords, std::uint16_t function,
                   const std::vector<std::uint16_t>& words = {});

  Wmf& Polygon(const std::vector<Pt>& points) {
    return Record(kFnPolygon, WithPoints({Word(points.size())}, points));
  }
  Wmf& Polyline(const std::vector<Pt>& points) {
    return Record(kFnPolyline, WithPoints({Word(points.size())}, points));
  }
  Wmf& PolyPolygon(const std::vector<std::vector<Pt>>& polygons);
  Wmf& Rectangle(std::int16_t left, std::int16_t top, std::int16_t right, std::int16_t bottom) {
    return Record(kFnRectangle, {Word(bottom), Word(right), Word(top), Word(left)});
  }
  Wmf& Ellipse(std::int16_t left, std::int16_t top, std::int16_t right, std::int16_t bottom) {
    return Record(kFnEllipse, {Word(bottom), Word(right), Word(top), Word(left)});
  }

  Wmf& Pen(std::int16_t style, std::uint32_t colour);
  Wmf& Brush(std::int16_t style, std::uint32_t colour);
  Wmf& Font();     // CreateFontIndirect with a small face
  Wmf& Palette();  // CreatePalette with one entry
  Wmf& Select(std::int16_t slot) { return Record(kFnSelectObject, {Word(slot)}); }
  Wmf& Delete(std::int16_t slot) { return Record(kFnDeleteObject, {Word(slot)}); }
  Wmf& SaveDC() { return Record(kFnSaveDC); }
  Wmf& RestoreDC(std::int16_t level = -1) { return Record(kFnRestoreDC, {Word(level)}); }
  Wmf& End() { return Record(0); }

  const Bytes& Data() const { return bytes_; }
  // The records, without the standard header (of a metafile that has no placeable one).
  Bytes Records() const { return Bytes(bytes_.begin() + 18, bytes_.end()); }

 private:
  template <typename T>
  static std::uint16_t Word(T value) {
    return static_cast<std::uint16_t>(value);
  }
  // `words` followed by the points' x and y words.
  static std::vector<std::uint16_t> WithPoints(std::vector<std::uint16_t> words,
                                               const std::vector<Pt>& points);

  Bytes bytes_;
};

// Colours in metafile byte order (red in the low byte).
inline constexpr std::uint32_t kBlack = 0x000000;
inline constexpr std::uint32_t kRed = 0x0000FF;
inline constexpr std::uint32_t kGreen = 0x00FF00;
inline constexpr std::uint32_t kBlue = 0xFF0000;

// Pen and brush styles.
inline constexpr std::int16_t kSolid = 0;
inline constexpr std::int16_t kNullPen = 5;
inline constexpr std::int16_t kHollowBrush = 1;
inline constexpr std::int16_t kPatternBrush = 3;

// A standard metafile of `sets` records, each a set of 65,535 polygons of no points (131 KB, and
// 10.7 MB of symbol), then the end record. 101 sets ask for more than the largest symbol.
Bytes EmptyPolygonSets(std::size_t sets);
inline constexpr std::size_t kOversizedSets = 101;

}  // namespace runebin::testing
