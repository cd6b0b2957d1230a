#include "tests/support/MetafileBuilder.h"

#include "metafile/RecordKinds.h"

namespace runebin::testing {
namespace {

void AddU16(Bytes& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

// The 9-word standard header: type 1 (memory), 9 words, version 0x0300; the rest is not read.
void AddStandardHeader(Bytes& out) {
  for (std::uint16_t word : {1, 9, 0x0300, 0, 0, 0, 0, 0, 0}) {
    AddU16(out, word);
  }
}

std::uint16_t Word(std::int32_t value) {
  return static_cast<std::uint16_t>(value);
}

// `words` followed by the points' x and y words.
std::vector<std::uint16_t> WithPoints(std::vector<std::uint16_t> words,
                                      const std::vector<Pt>& points) {
  for (const Pt& p : points) {
    words.push_back(Word(p.x));
    words.push_back(Word(p.y));
  }
  return words;
}

}  // namespace

Wmf::Wmf() {
  AddStandardHeader(bytes_);
}

Wmf& Wmf::Placeable() {
  bytes_.clear();
  // The key, then handle, bounding box, units per inch, reserved and checksum (not read).
  for (std::uint16_t word : {0xCDD7, 0x9AC6, 0, 0, 0, 0, 0, 0, 0, 0, 0}) {
    AddU16(bytes_, word);
  }
  AddStandardHeader(bytes_);
  return *this;
}

Wmf& Wmf::Record(std::uint16_t function, const std::vector<std::uint16_t>& words) {
  return RecordSized(static_cast<std::uint32_t>(3 + words.size()), function, words);
}

Wmf& Wmf::RecordSized(std::uint32_t sizeWords, std::uint16_t function,
                      const std::vector<std::uint16_t>& words) {
  AddU16(bytes_, sizeWords);
  AddU16(bytes_, sizeWords >> 16);
  AddU16(bytes_, function);
  for (std::uint16_t word : words) {
    AddU16(bytes_, word);
  }
  return *this;
}

Wmf& Wmf::Polygon(const std::vector<Pt>& points) {
  return Record(kFnPolygon, WithPoints({Word(static_cast<int>(points.size()))}, points));
}

Wmf& Wmf::Polyline(const std::vector<Pt>& points) {
  return Record(kFnPolyline, WithPoints({Word(static_cast<int>(points.size()))}, points));
}

Wmf& Wmf::PolyPolygon(const std::vector<std::vector<Pt>>& polygons) {
  std::vector<std::uint16_t> words = {Word(static_cast<int>(polygons.size()))};
  std::vector<Pt> all;
  for (const auto& polygon : polygons) {
    words.push_back(Word(static_cast<int>(polygon.size())));
    all.insert(all.end(), polygon.begin(), polygon.end());
  }
  return Record(kFnPolyPolygon, WithPoints(words, all));
}

Wmf& Wmf::Rectangle(std::int16_t left, std::int16_t top, std::int16_t right, std::int16_t bottom) {
  return Record(kFnRectangle, {Word(bottom), Word(right), Word(top), Word(left)});
}

Wmf& Wmf::Ellipse(std::int16_t left, std::int16_t top, std::int16_t right, std::int16_t bottom) {
  return Record(kFnEllipse, {Word(bottom), Word(right), Word(top), Word(left)});
}

Wmf& Wmf::Pen(std::int16_t style, std::uint32_t colour) {
  // Style, width as a point (1, 0), colour.
  return Record(kFnCreatePenIndirect,
                {Word(style), 1, 0, Word(static_cast<int>(colour & 0xFFFF)), Word(colour >> 16)});
}

Wmf& Wmf::Brush(std::int16_t style, std::uint32_t colour) {
  // Style, colour, hatch.
  return Record(kFnCreateBrushIndirect,
                {Word(style), Word(static_cast<int>(colour & 0xFFFF)), Word(colour >> 16), 0});
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

Bytes EmptyPolygonSets(std::size_t sets) {
  const Bytes one = Wmf().PolyPolygon(std::vector<std::vector<Pt>>(65535)).Data();
  Bytes all = Wmf().Data();
  for (std::size_t i = 0; i < sets; ++i) {
    all.insert(all.end(), one.begin() + 18, one.end());
  }
  const Bytes end = Wmf().End().Data();
  all.insert(all.end(), end.begin() + 18, end.end());
  return all;
}

}  // namespace runebin::testing
