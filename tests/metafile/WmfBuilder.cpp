#include "tests/metafile/WmfBuilder.h"

#include "metafile/RecordKinds.h"
#include "model/ByteOrder.h"

namespace runebin::testing {
namespace {

void AddU16(Bytes& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void AddU32(Bytes& out, std::uint32_t value) {
  AddU16(out, static_cast<std::uint16_t>(value));
  AddU16(out, static_cast<std::uint16_t>(value >> 16));
}

// The 9-word standard header: type 1 (memory), 9 words, version 0x0300; the rest is not read.
void AddStandardHeader(Bytes& out) {
  for (std::uint16_t word : {1, 9, 0x0300, 0, 0, 0, 0, 0, 0}) {
    AddU16(out, word);
  }
}

std::vector<std::uint16_t> PointWords(const std::vector<Pt>& points) {
  std::vector<std::uint16_t> words;
  for (const Pt& p : points) {
    words.push_back(static_cast<std::uint16_t>(p.x));
    words.push_back(static_cast<std::uint16_t>(p.y));
  }
  return words;
}

std::uint16_t Word(std::int16_t value) {
  return static_cast<std::uint16_t>(value);
}

}  // namespace

Wmf::Wmf() {
  AddStandardHeader(bytes_);
}

Wmf& Wmf::Placeable() {
  bytes_.clear();
  AddU32(bytes_, 0x9AC6CDD7);
  // Handle, bounding box, units per inch, reserved and checksum: not read by the import.
  for (int i = 0; i < 9; ++i) {
    AddU16(bytes_, 0);
  }
  AddStandardHeader(bytes_);
  return *this;
}

Wmf& Wmf::Record(std::uint16_t function, std::initializer_list<std::uint16_t> words) {
  return Record(function, std::vector<std::uint16_t>(words));
}

Wmf& Wmf::Record(std::uint16_t function, const std::vector<std::uint16_t>& words) {
  return RecordSized(static_cast<std::uint32_t>(3 + words.size()), function, words);
}

Wmf& Wmf::RecordSized(std::uint32_t sizeWords, std::uint16_t function,
                      const std::vector<std::uint16_t>& words) {
  AddU32(bytes_, sizeWords);
  AddU16(bytes_, function);
  for (std::uint16_t word : words) {
    AddU16(bytes_, word);
  }
  return *this;
}

Wmf& Wmf::Raw(const Bytes& bytes) {
  bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
  return *this;
}

Wmf& Wmf::Polygon(const std::vector<Pt>& points) {
  std::vector<std::uint16_t> words = {static_cast<std::uint16_t>(points.size())};
  const auto pointWords = PointWords(points);
  words.insert(words.end(), pointWords.begin(), pointWords.end());
  return Record(kFnPolygon, words);
}

Wmf& Wmf::Polyline(const std::vector<Pt>& points) {
  std::vector<std::uint16_t> words = {static_cast<std::uint16_t>(points.size())};
  const auto pointWords = PointWords(points);
  words.insert(words.end(), pointWords.begin(), pointWords.end());
  return Record(kFnPolyline, words);
}

Wmf& Wmf::PolyPolygon(const std::vector<std::vector<Pt>>& polygons) {
  std::vector<std::uint16_t> words = {static_cast<std::uint16_t>(polygons.size())};
  for (const auto& polygon : polygons) {
    words.push_back(static_cast<std::uint16_t>(polygon.size()));
  }
  for (const auto& polygon : polygons) {
    const auto pointWords = PointWords(polygon);
    words.insert(words.end(), pointWords.begin(), pointWords.end());
  }
  return Record(kFnPolyPolygon, words);
}

Wmf& Wmf::Rectangle(std::int16_t left, std::int16_t top, std::int16_t right, std::int16_t bottom) {
  return Record(kFnRectangle, {Word(bottom), Word(right), Word(top), Word(left)});
}

Wmf& Wmf::Ellipse(std::int16_t left, std::int16_t top, std::int16_t right, std::int16_t bottom) {
  return Record(kFnEllipse, {Word(bottom), Word(right), Word(top), Word(left)});
}

Wmf& Wmf::Pen(std::int16_t style, std::uint32_t colour, std::int16_t width) {
  // Style, width as a point (x, y), colour.
  return Record(kFnCreatePenIndirect,
                {Word(style), Word(width), 0, static_cast<std::uint16_t>(colour),
                 static_cast<std::uint16_t>(colour >> 16)});
}

Wmf& Wmf::Brush(std::int16_t style, std::uint32_t colour, std::uint16_t hatch) {
  return Record(kFnCreateBrushIndirect, {Word(style), static_cast<std::uint16_t>(colour),
                                         static_cast<std::uint16_t>(colour >> 16), hatch});
}

Wmf& Wmf::Font() {
  // Height, width, escapement, orientation, weight, italic/underline, strike/charset,
  // precision, quality/pitch, then the face name "Arial" and its zero.
  return Record(kFnCreateFontIndirect, {0xFFF4, 0, 0, 0, 400, 0, 0, 0, 0, 0x7241, 0x6169, 0x006C});
}

Wmf& Wmf::Palette() {
  // Version 0x0300, one entry.
  return Record(kFnCreatePalette, {0x0300, 1, 0x00FF, 0x0000});
}

Wmf& Wmf::Select(std::int16_t slot) {
  return Record(kFnSelectObject, {Word(slot)});
}

Wmf& Wmf::Delete(std::int16_t slot) {
  return Record(kFnDeleteObject, {Word(slot)});
}

Wmf& Wmf::SaveDC() {
  return Record(kFnSaveDC);
}

Wmf& Wmf::RestoreDC(std::int16_t level) {
  return Record(kFnRestoreDC, {Word(level)});
}

Wmf& Wmf::End() {
  return Record(0);
}

}  // namespace runebin::testing
