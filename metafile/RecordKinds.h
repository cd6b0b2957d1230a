#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace runebin {

// The metafile record kinds that the import knows by name. Function numbers are the standard
// WMF META_* values, except that ScaleWindowExt carries 0x0400 here (the standard's is 0x0410).
// No two rows share the low byte of their function number, so the low byte alone finds a row.
//
// The converter is consulted for the rows marked handled, and for the records that create a
// graphics object: the import draws with none of fonts, regions, bitmaps and pattern brushes,
// but each of them still takes a slot of the object table, and the slot numbers of later
// SelectObject and DeleteObject records count them. Every other record is passed over by its
// size.
struct RecordKind {
  std::string_view name;
  std::uint16_t function;
  bool handled;
  bool createsObject;
};

// Function numbers the converter acts on or reads on purpose.
inline constexpr std::uint16_t kFnSetBkColor = 0x0201;
inline constexpr std::uint16_t kFnSetTextColor = 0x0209;
inline constexpr std::uint16_t kFnSetWindowOrg = 0x020B;
inline constexpr std::uint16_t kFnSetWindowExt = 0x020C;
inline constexpr std::uint16_t kFnSetViewportOrg = 0x020D;
inline constexpr std::uint16_t kFnSetViewportExt = 0x020E;
inline constexpr std::uint16_t kFnEllipse = 0x0418;
inline constexpr std::uint16_t kFnRectangle = 0x041B;
inline constexpr std::uint16_t kFnSaveDC = 0x001E;
inline constexpr std::uint16_t kFnPolygon = 0x0324;
inline constexpr std::uint16_t kFnPolyline = 0x0325;
inline constexpr std::uint16_t kFnRestoreDC = 0x0127;
inline constexpr std::uint16_t kFnSelectObject = 0x012D;
inline constexpr std::uint16_t kFnSelectPalette = 0x0234;
inline constexpr std::uint16_t kFnRealizePalette = 0x0035;
inline constexpr std::uint16_t kFnPolyPolygon = 0x0538;
inline constexpr std::uint16_t kFnDeleteObject = 0x01F0;
inline constexpr std::uint16_t kFnCreatePalette = 0x00F7;
inline constexpr std::uint16_t kFnCreateBrush = 0x00F8;
inline constexpr std::uint16_t kFnCreatePenIndirect = 0x02FA;
inline constexpr std::uint16_t kFnCreateBrushIndirect = 0x02FC;
// Objects the import never draws with, which still take a slot.
inline constexpr std::uint16_t kFnDIBCreatePatternBrush = 0x0142;
inline constexpr std::uint16_t kFnCreatePatternBrush = 0x01F9;
inline constexpr std::uint16_t kFnCreateFontIndirect = 0x02FB;
inline constexpr std::uint16_t kFnCreateBitmapIndirect = 0x02FD;
inline constexpr std::uint16_t kFnCreateBitmap = 0x06FE;
inline constexpr std::uint16_t kFnCreateRegion = 0x06FF;

inline constexpr std::size_t kRecordKindCount = 71;

inline constexpr std::array<RecordKind, kRecordKindCount> RecordKindTable = {{
    // The 21 handled kinds.
    {"SetBkColor", kFnSetBkColor, true, false},
    {"SetTextColor", kFnSetTextColor, true, false},
    {"SetWindowOrg", kFnSetWindowOrg, true, false},
    {"SetWindowExt", kFnSetWindowExt, true, false},
    {"SetViewportOrg", kFnSetViewportOrg, true, false},
    {"SetViewportExt", kFnSetViewportExt, true, false},
    {"Ellipse", kFnEllipse, true, false},
    {"Rectangle", kFnRectangle, true, false},
    {"SaveDC", kFnSaveDC, true, false},
    {"Polygon", kFnPolygon, true, false},
    {"Polyline", kFnPolyline, true, false},
    {"RestoreDC", kFnRestoreDC, true, false},
    {"SelectObject", kFnSelectObject, true, false},
    {"SelectPalette", kFnSelectPalette, true, false},
    {"RealizePalette", kFnRealizePalette, true, false},
    {"PolyPolygon", kFnPolyPolygon, true, false},
    {"DeleteObject", kFnDeleteObject, true, false},
    {"CreatePalette", kFnCreatePalette, true, true},
    {"CreateBrush", kFnCreateBrush, true, false},
    {"CreatePenIndirect", kFnCreatePenIndirect, true, true},
    {"CreateBrushIndirect", kFnCreateBrushIndirect, true, true},
    // The 50 kinds known by name and never converted.
    {"SetBkMode", 0x0102, false, false},
    {"SetMapMode", 0x0103, false, false},
    {"SetROP2", 0x0104, false, false},
    {"SetRelAbs", 0x0105, false, false},
    {"SetPolyFillMode", 0x0106, false, false},
    {"SetStretchBltMode", 0x0107, false, false},
    {"SetTextCharExtra", 0x0108, false, false},
    {"SetTextJustification", 0x020A, false, false},
    {"OffsetWindowOrg", 0x020F, false, false},
    {"ScaleWindowExt", 0x0400, false, false},  // the standard's value is 0x0410
    {"OffsetViewportOrg", 0x0211, false, false},
    {"ScaleViewportExt", 0x0412, false, false},
    {"LineTo", 0x0213, false, false},
    {"MoveTo", 0x0214, false, false},
    {"ExcludeClipRect", 0x0415, false, false},
    {"IntersectClipRect", 0x0416, false, false},
    {"Arc", 0x0817, false, false},
    {"FloodFill", 0x0419, false, false},
    {"Pie", 0x081A, false, false},
    {"RoundRect", 0x061C, false, false},
    {"PatBlt", 0x061D, false, false},
    {"SetPixel", 0x041F, false, false},
    {"OffsetClipRgn", 0x0220, false, false},
    {"TextOut", 0x0521, false, false},
    {"BitBlt", 0x0922, false, false},
    {"StretchBlt", 0x0B23, false, false},
    {"Escape", 0x0626, false, false},
    {"FillRegion", 0x0228, false, false},
    {"FrameRegion", 0x0429, false, false},
    {"InvertRegion", 0x012A, false, false},
    {"PaintRegion", 0x012B, false, false},
    {"SelectClipRegion", 0x012C, false, false},
    {"SetTextAlign", 0x012E, false, false},
    {"DrawText", 0x062F, false, false},
    {"Chord", 0x0830, false, false},
    {"SetMapperFlags", 0x0231, false, false},
    {"ExtTextOut", 0x0A32, false, false},
    {"SetDIBToDev", 0x0D33, false, false},
    {"AnimatePalette", 0x0436, false, false},
    {"SetPalEntries", 0x0037, false, false},
    {"ResizePalette", 0x0139, false, false},
    {"DIBBitBlt", 0x0940, false, false},
    {"DIBStretchBlt", 0x0B41, false, false},
    {"DIBCreatePatternBrush", kFnDIBCreatePatternBrush, false, true},
    {"StretchDIB", 0x0F43, false, false},
    {"CreatePatternBrush", kFnCreatePatternBrush, false, true},
    {"CreateFontIndirect", kFnCreateFontIndirect, false, true},
    {"CreateBitmapIndirect", kFnCreateBitmapIndirect, false, true},
    {"CreateBitmap", kFnCreateBitmap, false, true},
    {"CreateRegion", kFnCreateRegion, false, true},
}};

// The kind index: for each value of a function number's low byte, the row of RecordKindTable
// with that low byte, or kNoKind. Built once, at compile time, the way the table is read: every
// entry none, then each row in table order claims the entry of its low byte. Nothing changes it
// afterwards, so every import sees the same index.
inline constexpr int kNoKind = -1;

constexpr std::array<std::int16_t, 256> BuildKindIndex() {
  std::array<std::int16_t, 256> index{};
  for (auto& entry : index) {
    entry = kNoKind;
  }
  for (std::size_t row = 0; row < RecordKindTable.size(); ++row) {
    index[RecordKindTable[row].function & 0xFFu] = static_cast<std::int16_t>(row);
  }
  return index;
}

inline constexpr std::array<std::int16_t, 256> kKindIndex = BuildKindIndex();

// The row of RecordKindTable for `function`, found in constant time by its low byte (so a record
// of 0x0124 finds the Polygon row), or kNoKind.
constexpr int FindRecordKind(std::uint16_t function) {
  return kKindIndex[function & 0xFFu];
}

// Whether the walk hands a record with this function number to the converter: its row is
// handled or creates an object. The converter still acts only on full function numbers.
constexpr bool IsHandedToConverter(std::uint16_t function) {
  const int row = FindRecordKind(function);
  if (row == kNoKind) {
    return false;
  }
  const RecordKind& kind = RecordKindTable[static_cast<std::size_t>(row)];
  return kind.handled || kind.createsObject;
}

// Checked when the program is built; the tests check the same from outside.
constexpr bool LowBytesAreUnique() {
  for (std::size_t a = 0; a < RecordKindTable.size(); ++a) {
    for (std::size_t b = a + 1; b < RecordKindTable.size(); ++b) {
      if ((RecordKindTable[a].function & 0xFFu) == (RecordKindTable[b].function & 0xFFu)) {
        return false;
      }
    }
  }
  return true;
}
static_assert(LowBytesAreUnique(), "two record kinds share a low byte");

}  // namespace runebin
