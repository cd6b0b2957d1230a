#include "render/DisplayList.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "metafile/HostPalette.h"
#include "metafile/OutputRecords.h"
#include "model/ByteOrder.h"
#include "model/Entity.h"
#include "model/Format.h"

namespace runebin {

void Bounds::Include(float x, float y) {
  if (empty) {
    minX = maxX = x;
    minY = maxY = y;
    empty = false;
    return;
  }
  minX = x < minX ? x : minX;
  maxX = x > maxX ? x : maxX;
  minY = y < minY ? y : minY;
  maxY = y > maxY ? y : maxY;
}

namespace {

// The ellipse record keeps the smaller half-axis and half-width / (half-height + kGuard). A ratio
// below 1 means the width was the smaller one (or both were equal: the formulas agree then).
constexpr double kRatioGuard = 0.00001;

class Walker {
 public:
  Walker(DisplayList& out, const RenderLimits& limits) : out_(out), limits_(limits) {}

  // Walks the group that follows the leading record at the start of `bytes`.
  void Walk(std::span<const std::uint8_t> bytes) {
    const std::size_t leader = RecordLength(bytes);
    if (leader == 0) {
      out_.damaged = true;
      return;
    }
    std::size_t offset = leader;
    long depth = 0;
    std::size_t records = 0;
    // Each step moves on by at least 5 bytes, and the records are capped, so the walk ends soon.
    while (offset < bytes.size()) {
      const std::span<const std::uint8_t> record = bytes.subspan(offset);
      const std::size_t length = RecordLength(record);
      if (length == 0) {
        out_.damaged = true;
        return;
      }
      offset += length;
      if (++records > limits_.maxRecords) {  // markers count too: they cost a step each
        out_.truncated = true;
        return;
      }
      const std::uint8_t type = record[kTypeOffset];
      if (length == kMarkerLength) {
        if (type == kMarkerClose && --depth <= 0) {
          return;
        }
        depth += type == kMarkerOpen ? 1 : 0;
        continue;
      }
      if (!Take(record.first(length), type)) {
        return;
      }
    }
    out_.damaged = true;  // the closing marker never came
  }

 private:
  // Returns false when the walk must stop (the vertex cap).
  bool Take(std::span<const std::uint8_t> record, std::uint8_t type) {
    switch (type) {
      case kTypePath:
        return TakePath(record);
      case kTypeEllipse:
        TakeEllipse(record);
        return true;
      case kTypeGroup17:
      case kTypeGroup18:
        return true;  // containers: their records follow inside markers
      case kTypeSymbolRef:
        ++out_.nestedReferences;
        return true;
      default:
        ++out_.notDrawn;
        return true;
    }
  }

  static Shape Styled(std::span<const std::uint8_t> record, ShapeKind kind) {
    Shape shape;
    shape.kind = kind;
    shape.colourIndex = record[kColourOffset];
    shape.colour = HostPalette[shape.colourIndex];
    shape.filled = ReadU16(record, kFillFlagOffset).value_or(0) != 0;
    return shape;
  }

  bool TakePath(std::span<const std::uint8_t> record) {
    const std::size_t count = ReadU16(record, kPathCountOffset).value_or(0);
    if (record.size() < PathRecordSize(count) || count == 0) {
      ++out_.notDrawn;  // cut short, or nothing to draw
      return true;
    }
    if (out_.vertices.size() + count > limits_.maxVertices) {
      out_.truncated = true;
      return false;
    }
    Shape shape = Styled(record, ShapeKind::Path);
    shape.closed = (record[kPathClosedOffset] & kPathClosed) != 0;
    shape.firstVertex = static_cast<std::uint32_t>(out_.vertices.size());
    shape.vertexCount = static_cast<std::uint32_t>(count);
    Bounds bounds;
    for (std::size_t i = 0; i < count; ++i) {
      const std::size_t at = kPathHeaderSize + i * kPathVertexSize;
      const Point p{*ReadF32(record, at), *ReadF32(record, at + 4)};
      if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
        out_.vertices.resize(shape.firstVertex);
        ++out_.notDrawn;
        return true;
      }
      bounds.Include(p.x, p.y);
      out_.vertices.push_back(p);
    }
    Merge(bounds);
    out_.shapes.push_back(shape);
    return true;
  }

  void TakeEllipse(std::span<const std::uint8_t> record) {
    if (record.size() < kEllipseRecordSize) {
      ++out_.notDrawn;
      return;
    }
    const double cx = *ReadF32(record, kEllipseCentreXOffset);
    const double cy = *ReadF32(record, kEllipseCentreYOffset);
    const double minor = *ReadF32(record, kEllipseMinorOffset);
    const double ratio = *ReadF32(record, kEllipseRatioOffset);
    // A flat ellipse with zero width keeps no trace of its height (ratio 0): not drawn.
    double rx = minor;
    double ry = minor;
    if (ratio < 1) {
      ry = ratio > 0 ? minor / ratio - kRatioGuard : -1;
    } else {
      rx = ratio * (minor + kRatioGuard);
    }
    // Every corner of the box must be a float (this also refuses NaN and infinities), so that
    // nothing later overflows.
    const auto fits = [](double v) { return std::fabs(v) <= std::numeric_limits<float>::max(); };
    if (!(minor >= 0 && ry >= 0 && rx >= 0) || !fits(cx - rx) || !fits(cx + rx) || !fits(cy - ry) ||
        !fits(cy + ry)) {
      ++out_.notDrawn;
      return;
    }
    Shape shape = Styled(record, ShapeKind::Ellipse);
    shape.centre = {static_cast<float>(cx), static_cast<float>(cy)};
    shape.radiusX = static_cast<float>(rx);
    shape.radiusY = static_cast<float>(ry);
    Bounds bounds;
    bounds.Include(shape.centre.x - shape.radiusX, shape.centre.y - shape.radiusY);
    bounds.Include(shape.centre.x + shape.radiusX, shape.centre.y + shape.radiusY);
    Merge(bounds);
    out_.shapes.push_back(shape);
  }

  void Merge(const Bounds& part) {
    out_.bounds.Include(part.minX, part.minY);
    out_.bounds.Include(part.maxX, part.maxY);
  }

  DisplayList& out_;
  const RenderLimits& limits_;
};

}  // namespace

DisplayList BuildDisplayList(std::span<const std::uint8_t> bytes, const RenderLimits& limits) {
  DisplayList list;
  // Vertices take 8 bytes each in the records: one allocation holds them all.
  list.vertices.reserve(std::min(bytes.size() / kPathVertexSize, limits.maxVertices));
  Walker(list, limits).Walk(bytes);
  return list;
}

DisplayList BuildDisplayList(const Entity& definition, const RenderLimits& limits) {
  return BuildDisplayList(definition.Bytes(), limits);
}

}  // namespace runebin
