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

}  // namespace

std::vector<std::uint16_t> Wmf::WithPoints(std::vector<std::uint16_t> words,
                                           const std::vector<Pt>& points) {
  for (const Pt& p : points) {
    words.push_back(Word(p.x));
    words.push_back(Word(p.y));
  }
  return words;
}

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

Wmf& Wmf::PolyPolygon(const std::vector<std::vector<Pt>>& polygons) {
  std::vector<std::uint16_t> words = {Word(polygons.size())};
  std::vector<Pt> all;
  for (const auto& polygon : polygons) {
    words.push_back(Word(polygon.size()));
    all.insert(all.end(), polygon.begin(), polygon.end());
  }
  return Record(kFnPolyPolygon, WithPoints(words, all));
}

Wmf& Wmf::Pen(std::int16_t style, std::uint32_t colour) {
  // Style, width as a point (1, 0), colour.
  return Record(kFnCreatePenIndirect,
                {Word(style), 1, 0, Word(colour & 0xFFFF), Word(colour >> 16)});
}

Wmf& Wmf::Brush(std::int16_t style, std::uint32_t colour) {
  // Style, colour, hatch.
  return Record(kFnCreateBrushIndirect,
                {Word(style), Word(colour & 0xFFFF), Word(colour >> 16), 0});
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

Bytes EmptyPolygonSets(std::size_t sets) {
  const Bytes one = Wmf().PolyPolygon(std::vector<std::vector<Pt>>(65535)).Records();
  return Join({Wmf().Data(), Repeat(one, sets), Wmf().End().Records()});
}

}  // namespace runebin::testing
