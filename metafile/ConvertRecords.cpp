#include "metafile/ConvertRecords.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <optional>

#include "metafile/DrawingState.h"
#include "metafile/RecordKinds.h"
#include "model/ByteOrder.h"

namespace runebin {

PointMapping PointMapping::ForBox(const BoundingBox& box, float maxSize) {
  constexpr double kTiny = 0.001;
  double width = static_cast<double>(box.maxX) - box.minX;
  double height = static_cast<double>(box.maxY) - box.minY;
  if (width < kTiny) {
    width = 1.0;
  }
  if (height < kTiny) {
    height = 1.0;
  }
  const double larger = height > width ? height : width;
  return {static_cast<double>(maxSize) / larger, static_cast<double>(box.maxX),
          static_cast<double>(box.maxY)};
}

namespace {

// Parameter layouts (byte offsets into a record's parameters).
constexpr std::size_t kPointSize = 4;       // x then y, signed 16-bit
constexpr std::size_t kPenStyleOffset = 0;  // CreatePenIndirect: style, width (4), colour
constexpr std::size_t kPenColourOffset = 6;
constexpr std::size_t kBrushStyleOffset = 0;  // CreateBrushIndirect: style, colour, hatch
constexpr std::size_t kBrushColourOffset = 2;
constexpr std::size_t kBoxBottomOffset = 0;  // Rectangle and Ellipse: bottom, right, top, left
constexpr std::size_t kBoxRightOffset = 2;
constexpr std::size_t kBoxTopOffset = 4;
constexpr std::size_t kBoxLeftOffset = 6;
constexpr std::int16_t kRestoreLatest = -1;

constexpr double kEllipseRatioGuard = 0.00001;

// A point coordinate whose two bytes were checked to lie inside the record.
std::int16_t CoordinateAt(const std::uint8_t* bytes) {
  return static_cast<std::int16_t>(bytes[0] | bytes[1] << 8);
}

// One mapped vertex, x then y as little-endian reals: one 8-byte store on little-endian machines
// (the byte-wise writer is kept for the others), as the vertices are most of the output.
void PutVertex(std::uint8_t* out, float x, float y) {
  if constexpr (std::endian::native == std::endian::little) {
    const float vertex[2] = {x, y};
    std::memcpy(out, vertex, sizeof vertex);
  } else {
    PutF32(out, x);
    PutF32(out + 4, y);
  }
}

constexpr std::size_t kNoVertices = static_cast<std::size_t>(-1);

// A mapped coordinate as the box holds it: truncated toward zero, and kept inside 16 bits (only
// -(-32768) = 32768 can fall outside in the measuring pass).
std::int16_t ToBoxCoordinate(float value) {
  if (std::isnan(value)) {
    return 0;
  }
  const float clamped = std::clamp(std::trunc(value), -32768.0F, 32767.0F);
  return static_cast<std::int16_t>(clamped);
}

class Converter final : public RecordHandler {
 public:
  Converter(BoundingBox& box, const PointMapping& mapping, OutputSink* sink,
            PaletteMatcher& palette)
      : box_(box), mapping_(mapping), sink_(sink), palette_(palette) {}
  // Goes on from a checkpoint.
  Converter(BoundingBox& box, const PointMapping& mapping, OutputSink* sink,
            PaletteMatcher& palette, const PassCheckpoint& from)
      : Converter(box, mapping, sink, palette) {
    state_ = from.state;
    sequence_ = from.sequence;
    outputBytes_ = from.outputBytes;
  }

  // Takes `checkpoint` in front of the first record at or after `splitAt` bytes into `data`,
  // the data the walk goes over.
  void TakeCheckpoint(const std::uint8_t* data, std::size_t splitAt, PassCheckpoint& checkpoint) {
    data_ = data;
    splitAt_ = splitAt;
    checkpoint_ = &checkpoint;
  }

  bool OnRecord(std::uint16_t function, std::span<const std::uint8_t> parameters) override {
    const bool handled = Handle(function, parameters);
    if (!Measuring()) {
      sink_->RecordDone();  // the records written so far are final
    }
    return handled;
  }
  std::size_t OutputBytes() const { return outputBytes_; }

 private:
  bool Handle(std::uint16_t function, std::span<const std::uint8_t> parameters);
  bool Polygon(std::span<const std::uint8_t> parameters);
  bool Polyline(std::span<const std::uint8_t> parameters);
  bool PolyPolygon(std::span<const std::uint8_t> parameters);
  bool Rectangle(std::span<const std::uint8_t> parameters);
  bool Ellipse(std::span<const std::uint8_t> parameters);
  // The four mapped corners of a rectangle or ellipse record, (x1,y1) (x2,y1) (x2,y2) (x1,y2),
  // widening the box with them in the measuring pass; nothing when the parameters are short.
  using Corners = std::array<std::array<float, 2>, 4>;
  std::optional<Corners> MapBoxCorners(std::span<const std::uint8_t> parameters);
  bool CreatePen(std::span<const std::uint8_t> parameters);
  bool CreateBrush(std::span<const std::uint8_t> parameters);

  bool Measuring() const { return sink_ == nullptr; }
  std::uint32_t TakeNumber() { return sequence_++; }
  // The palette index of a colour; only the output pass needs it.
  std::uint8_t ColourIndex(std::uint32_t colour) {
    return Measuring() ? 0 : static_cast<std::uint8_t>(palette_.IndexOf(colour));
  }
  bool PenDraws() const { return state_.Pen().style != kNullPenStyle; }
  bool BrushFills() const { return state_.Brush().style != kHollowBrushStyle; }

  void IncludeVertices(std::span<const std::uint8_t> points, std::size_t count);
  // Writes one path of `count` vertices and takes a number. The vertices are mapped from
  // `points`, or copied from an earlier path of the same points whose vertices start at `mapped`
  // in the sink. Returns where this path's vertices start in the sink (kNoVertices without one).
  std::size_t Path(std::uint8_t colourIndex, std::uint16_t fill, std::uint8_t closed,
                   std::span<const std::uint8_t> points, std::uint16_t count,
                   std::size_t mapped = kNoVertices);
  // The fill and outline paths of one polygon: the vertices are mapped once, for the first path.
  void FilledPolygon(std::span<const std::uint8_t> points, std::uint16_t count, bool grouped);

  DrawingState state_;
  BoundingBox& box_;
  const PointMapping mapping_;
  OutputSink* const sink_;
  PaletteMatcher& palette_;
  std::uint32_t sequence_ = kFirstSequenceNumber;
  std::size_t outputBytes_ = 0;
  // While a checkpoint is to be taken.
  PassCheckpoint* checkpoint_ = nullptr;
  const std::uint8_t* data_ = nullptr;
  std::size_t splitAt_ = 0;
};

bool Converter::Handle(std::uint16_t function, std::span<const std::uint8_t> parameters) {
  if (checkpoint_ != nullptr) {
    const auto recordOffset =
        static_cast<std::size_t>(parameters.data() - data_) - kRecordParametersOffset;
    if (recordOffset >= splitAt_) {
      checkpoint_->recordOffset = recordOffset;
      checkpoint_->outputBytes = outputBytes_;
      checkpoint_->sequence = sequence_;
      checkpoint_->state = state_;
      checkpoint_ = nullptr;
    }
  }
  switch (function) {
    case kFnSaveDC:
      state_.Save();
      return true;
    case kFnRestoreDC: {
      const auto level = ReadI16(parameters, 0);
      if (!level) {
        return false;
      }
      if (*level == kRestoreLatest) {
        state_.Restore();
      }
      return true;
    }
    case kFnCreatePalette:
      state_.CreatePalette();
      return true;
    case kFnCreateBrush:
      // The obsolete brush record is drawn with by nobody and takes no slot of the object table.
      return true;
    case kFnDIBCreatePatternBrush:
    case kFnCreatePatternBrush:
    case kFnCreateFontIndirect:
    case kFnCreateBitmapIndirect:
    case kFnCreateBitmap:
    case kFnCreateRegion:
      // Not drawn with, but the object takes its slot all the same.
      state_.CreateOther();
      return true;
    case kFnCreatePenIndirect:
      return CreatePen(parameters);
    case kFnCreateBrushIndirect:
      return CreateBrush(parameters);
    case kFnSelectObject:
    case kFnDeleteObject: {
      const auto slot = ReadI16(parameters, 0);
      if (!slot) {
        return false;
      }
      if (function == kFnSelectObject) {
        state_.SelectObject(*slot);
      } else {
        state_.DeleteObject(*slot);
      }
      return true;
    }
    case kFnPolygon:
      return Polygon(parameters);
    case kFnPolyline:
      return Polyline(parameters);
    case kFnPolyPolygon:
      return PolyPolygon(parameters);
    case kFnRectangle:
      return Rectangle(parameters);
    case kFnEllipse:
      return Ellipse(parameters);
    default:
      // The other handled kinds (colours, window and viewport, palette selection) change nothing
      // in the output, and a function that only shares a known kind's low byte is passed over.
      return true;
  }
}

bool Converter::CreatePen(std::span<const std::uint8_t> parameters) {
  const auto style = ReadI16(parameters, kPenStyleOffset);
  const auto colour = ReadU32(parameters, kPenColourOffset);
  if (!style || !colour) {
    return false;
  }
  state_.CreatePen({*colour, *style});
  return true;
}

bool Converter::CreateBrush(std::span<const std::uint8_t> parameters) {
  const auto style = ReadI16(parameters, kBrushStyleOffset);
  const auto colour = ReadU32(parameters, kBrushColourOffset);
  if (!style || !colour) {
    return false;
  }
  // Solid, hollow and hatched brushes are drawn with; a brush of any other style (patterns)
  // still takes its slot.
  if (*style >= 0 && *style <= 2) {
    state_.CreateBrush({*colour, *style});
  } else {
    state_.CreateOther();
  }
  return true;
}

void Converter::IncludeVertices(std::span<const std::uint8_t> points, std::size_t count) {
  if (points.size() / kPointSize < count) {
    return;  // the callers have checked; this keeps the loop below inside the record regardless
  }
  // The bounds in locals, without branches: the compiler keeps them in registers (stores into
  // the box could alias the bytes read) and takes many points at a time.
  std::int16_t minX = box_.minX;
  std::int16_t minY = box_.minY;
  std::int16_t maxX = box_.maxX;
  std::int16_t maxY = box_.maxY;
  const std::uint8_t* point = points.data();
  for (std::size_t i = 0; i < count; ++i, point += kPointSize) {
    const std::int16_t x = CoordinateAt(point);
    const std::int16_t y = CoordinateAt(point + 2);
    minX = std::min(minX, x);
    minY = std::min(minY, y);
    maxX = std::max(maxX, x);
    maxY = std::max(maxY, y);
  }
  box_.minX = minX;
  box_.minY = minY;
  box_.maxX = maxX;
  box_.maxY = maxY;
}

std::size_t Converter::Path(std::uint8_t colourIndex, std::uint16_t fill, std::uint8_t closed,
                            std::span<const std::uint8_t> points, std::uint16_t count,
                            std::size_t mapped) {
  const std::uint32_t number = TakeNumber();
  outputBytes_ += PathRecordSize(count);
  if (Measuring() || points.size() / kPointSize < count) {
    return kNoVertices;
  }
  std::uint8_t* out = AppendPath(*sink_, colourIndex, fill, number, count, closed);
  if (out == nullptr) {
    return kNoVertices;
  }
  const std::size_t vertexBytes = std::size_t{count} * kPathVertexSize;
  if (mapped != kNoVertices) {
    std::memcpy(out, sink_->Bytes().data() + mapped, vertexBytes);
  } else {
    const std::uint8_t* point = points.data();
    for (std::uint8_t* vertex = out; vertex != out + vertexBytes;
         vertex += kPathVertexSize, point += kPointSize) {
      PutVertex(vertex, mapping_.X(CoordinateAt(point)), mapping_.Y(CoordinateAt(point + 2)));
    }
  }
  return static_cast<std::size_t>(out - sink_->Bytes().data());
}

void Converter::FilledPolygon(std::span<const std::uint8_t> points, std::uint16_t count,
                              bool grouped) {
  const bool fills = BrushFills();
  const bool draws = PenDraws();
  // The drawing of one polygon: optionally wrapped in a group record and its markers. The
  // outline repeats the fill's vertices, so they are mapped once.
  std::size_t mapped = kNoVertices;
  auto draw = [&](const Tool& tool, std::uint16_t fill) {
    if (grouped) {
      const std::uint32_t number = TakeNumber();
      outputBytes_ += kGroupWrapSize;
      if (!Measuring()) {
        AppendGroup(*sink_, ColourIndex(tool.colour), number);
        AppendMarker(*sink_, kGroupOpen);
      }
    }
    mapped = Path(ColourIndex(tool.colour), fill, kPathClosed, points, count, mapped);
    if (grouped && !Measuring()) {
      AppendMarker(*sink_, kGroupClose);
    }
  };
  if (fills) {
    draw(state_.Brush(), kFilled);
  }
  if (draws) {
    draw(state_.Pen(), kOutline);
  }
  if (Measuring()) {
    IncludeVertices(points, count);
  }
}

bool Converter::Polygon(std::span<const std::uint8_t> parameters) {
  const auto count = ReadU16(parameters, 0);
  if (!count || parameters.size() - 2 < std::size_t{*count} * kPointSize) {
    return false;
  }
  FilledPolygon(parameters.subspan(2), *count, false);
  return true;
}

bool Converter::Polyline(std::span<const std::uint8_t> parameters) {
  const auto count = ReadU16(parameters, 0);
  if (!count || parameters.size() - 2 < std::size_t{*count} * kPointSize) {
    return false;
  }
  if (!PenDraws()) {
    return true;  // nothing at all, not even the box
  }
  constexpr std::uint8_t kPolylineColourIndex = 1;  // whatever pen is selected
  const auto points = parameters.subspan(2);
  Path(kPolylineColourIndex, kOutline, kPathOpen, points, *count);
  if (Measuring()) {
    IncludeVertices(points, *count);
  }
  return true;
}

bool Converter::PolyPolygon(std::span<const std::uint8_t> parameters) {
  const auto polygons = ReadU16(parameters, 0);
  if (!polygons) {
    return false;
  }
  const std::size_t countsSize = std::size_t{*polygons} * 2;
  if (parameters.size() - 2 < countsSize) {
    return false;
  }
  const auto counts = parameters.subspan(2, countsSize);
  std::size_t vertices = 0;
  for (std::size_t i = 0; i < *polygons; ++i) {
    vertices += ReadU16(counts, i * 2).value_or(0);
  }
  auto points = parameters.subspan(2 + countsSize);
  if (points.size() < vertices * kPointSize) {
    return false;
  }
  for (std::size_t i = 0; i < *polygons; ++i) {
    const std::uint16_t count = ReadU16(counts, i * 2).value_or(0);
    FilledPolygon(points, count, true);
    points = points.subspan(std::size_t{count} * kPointSize);
  }
  return true;
}

std::optional<Converter::Corners> Converter::MapBoxCorners(
    std::span<const std::uint8_t> parameters) {
  const auto bottom = ReadI16(parameters, kBoxBottomOffset);
  const auto right = ReadI16(parameters, kBoxRightOffset);
  const auto top = ReadI16(parameters, kBoxTopOffset);
  const auto left = ReadI16(parameters, kBoxLeftOffset);
  if (!bottom || !right || !top || !left) {
    return std::nullopt;
  }
  const float x1 = mapping_.X(*left);
  const float y1 = mapping_.Y(*top);
  const float x2 = mapping_.X(*right);
  const float y2 = mapping_.Y(*bottom);
  const Corners corners = {{{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}}};
  if (Measuring()) {
    for (const auto& corner : corners) {
      box_.IncludePoint(ToBoxCoordinate(corner[0]), ToBoxCoordinate(corner[1]));
    }
  }
  return corners;
}

bool Converter::Rectangle(std::span<const std::uint8_t> parameters) {
  const auto mapped = MapBoxCorners(parameters);
  if (!mapped) {
    return false;
  }
  const Corners& corners = *mapped;
  // Never filled, and drawn whatever the pen and brush styles are.
  const std::uint32_t number = TakeNumber();
  outputBytes_ += PathRecordSize(4);
  if (Measuring()) {
    return true;
  }
  std::uint8_t* out =
      AppendPath(*sink_, ColourIndex(state_.Pen().colour), kOutline, number, 4, kPathClosed);
  if (out != nullptr) {
    for (std::size_t i = 0; i < 4; ++i) {
      PutVertex(out + i * kPathVertexSize, corners[i][0], corners[i][1]);
    }
  }
  return true;
}

bool Converter::Ellipse(std::span<const std::uint8_t> parameters) {
  const auto corners = MapBoxCorners(parameters);
  if (!corners) {
    return false;
  }
  const float x1 = (*corners)[0][0];
  const float y1 = (*corners)[0][1];
  const float x2 = (*corners)[2][0];
  const float y2 = (*corners)[2][1];
  const bool fills = BrushFills();
  const std::uint32_t number = TakeNumber();  // one number for both records
  outputBytes_ += (fills ? 2 : 1) * kEllipseRecordSize;
  if (Measuring()) {
    return true;
  }
  const double halfWidth = std::fabs(static_cast<double>(x2) - x1) * 0.5;
  const double halfHeight = std::fabs(static_cast<double>(y2) - y1) * 0.5;
  const auto centreX = static_cast<float>((static_cast<double>(x1) + x2) * 0.5);
  const auto centreY = static_cast<float>((static_cast<double>(y1) + y2) * 0.5);
  const auto minor = static_cast<float>(halfWidth < halfHeight ? halfWidth : halfHeight);
  const auto ratio = static_cast<float>(halfWidth / (halfHeight + kEllipseRatioGuard));
  if (fills) {
    AppendEllipse(*sink_, ColourIndex(state_.Brush().colour), kFilled, number, centreX, centreY,
                  minor, ratio);
  }
  // The outline is drawn whatever the pen style.
  AppendEllipse(*sink_, ColourIndex(state_.Pen().colour), kOutline, number, centreX, centreY, minor,
                ratio);
  return true;
}

}  // namespace

PassResult ConvertRecords(const MetafileReader& reader, BoundingBox& box, float maxSize,
                          OutputSink* sink, PaletteMatcher& palette) {
  Converter converter(box, PointMapping::ForBox(box, maxSize), sink, palette);
  PassResult result;
  result.end = reader.Walk(converter);
  result.outputBytes = converter.OutputBytes();
  return result;
}

PassResult MeasureRecords(const MetafileReader& reader, BoundingBox& box, std::size_t splitAt,
                          PassCheckpoint& checkpoint) {
  PaletteMatcher unused;  // the measuring pass maps no colours
  Converter converter(box, PointMapping::ForBox(box, 1.0F), nullptr, unused);
  checkpoint.recordOffset = 0;
  converter.TakeCheckpoint(reader.Start(), splitAt, checkpoint);
  PassResult result;
  result.end = reader.Walk(converter);
  result.outputBytes = converter.OutputBytes();
  return result;
}

PassResult ConvertRecordsBefore(const MetafileReader& reader, const BoundingBox& box, float maxSize,
                                OutputSink& sink, PaletteMatcher& palette,
                                const PassCheckpoint& checkpoint) {
  BoundingBox unchanged = box;  // the output pass leaves the box alone
  Converter converter(unchanged, PointMapping::ForBox(box, maxSize), &sink, palette);
  PassResult result;
  result.end =
      WalkRecords(reader.Data().first(checkpoint.recordOffset), reader.HeaderOffset(), converter);
  result.outputBytes = converter.OutputBytes();
  return result;
}

PassResult ConvertRecordsFrom(const MetafileReader& reader, const BoundingBox& box, float maxSize,
                              OutputSink& sink, PaletteMatcher& palette,
                              const PassCheckpoint& checkpoint) {
  BoundingBox unchanged = box;
  Converter converter(unchanged, PointMapping::ForBox(box, maxSize), &sink, palette, checkpoint);
  PassResult result;
  result.end = WalkRecordsFrom(reader.Data(), checkpoint.recordOffset, converter);
  result.outputBytes = converter.OutputBytes();
  return result;
}

}  // namespace runebin
