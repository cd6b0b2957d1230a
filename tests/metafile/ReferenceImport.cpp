#include "tests/metafile/ReferenceImport.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

#include "metafile/DrawingState.h"
#include "metafile/HostPalette.h"

namespace runebin::testing {
namespace {

struct Object {
  enum Kind { Pen, Brush, Palette, Other } kind;
  std::uint32_t colour = 0;
  int style = 0;
};

struct State {
  std::uint32_t penColour = 0, brushColour = 0;
  int penStyle = 0, brushStyle = 0;
  std::map<int, Object> objects;
};

class Pass {
 public:
  Pass(const Bytes& data, std::size_t start, ExpectedImport& out, bool measuring, double scale,
       double offsetX, double offsetY)
      : data_(data),
        start_(start),
        out_(out),
        measuring_(measuring),
        scale_(scale),
        offsetX_(offsetX),
        offsetY_(offsetY) {}

  // Returns whether the walk stopped at damage.
  bool Run() {
    std::size_t at = start_ + 18;
    while (at + 6 <= data_.size()) {
      const std::uint32_t size = U32(at);
      const int function = U16(at + 4);
      if (size == 3 && function == 0) {
        return false;
      }
      if (size < 3 || 2ull * size > data_.size() - at) {
        return true;
      }
      params_ = at + 6;
      paramsEnd_ = at + 2ull * size;
      if (!Act(function)) {
        return true;
      }
      at += 2ull * size;
    }
    return false;
  }

 private:
  bool Has(std::size_t bytes) const { return paramsEnd_ - params_ >= bytes; }
  int P16(std::size_t i) const { return static_cast<std::int16_t>(U16(params_ + 2 * i)); }
  int PU16(std::size_t i) const { return U16(params_ + 2 * i); }
  int U16(std::size_t at) const { return data_[at] | data_[at + 1] << 8; }
  std::uint32_t U32(std::size_t at) const {
    return static_cast<std::uint32_t>(U16(at)) | static_cast<std::uint32_t>(U16(at + 2)) << 16;
  }

  void Create(Object object) {
    for (int slot = 0; slot < 512; ++slot) {
      if (!state_.objects.count(slot)) {
        state_.objects[slot] = object;
        return;
      }
    }
  }

  float X(double x) const { return static_cast<float>((x + offsetX_) * scale_); }
  float Y(double y) const { return static_cast<float>((offsetY_ - y) * scale_); }

  void Widen(int x, int y) {
    out_.box.minX = static_cast<std::int16_t>(std::min<int>(out_.box.minX, x));
    out_.box.minY = static_cast<std::int16_t>(std::min<int>(out_.box.minY, y));
    out_.box.maxX = static_cast<std::int16_t>(std::max<int>(out_.box.maxX, x));
    out_.box.maxY = static_cast<std::int16_t>(std::max<int>(out_.box.maxY, y));
  }

  static ExpectedRecord Marker(int type) {
    ExpectedRecord marker;
    marker.type = type;
    return marker;
  }

  void Emit(ExpectedRecord record) {
    if (!measuring_) {
      out_.records.push_back(std::move(record));
    }
  }

  // A path over the vertices at parameter word `first`.
  void PathAt(int colourIndex, int fill, bool closed, std::size_t first, int count) {
    ExpectedRecord path{3, colourIndex, fill, closed, count, sequence_++, {}};
    for (int i = 0; i < count; ++i) {
      path.points.push_back({X(P16(first + 2 * static_cast<std::size_t>(i))),
                             Y(P16(first + 2 * static_cast<std::size_t>(i) + 1))});
    }
    Emit(std::move(path));
  }

  void Polygon(std::size_t first, int count, bool grouped) {
    const auto copy = [&](std::uint32_t colour, int fill) {
      const int index = NearestPaletteIndex(colour);
      if (grouped) {
        Emit({17, index, 0, false, 0, sequence_++, {}});
        Emit(Marker(0));
      }
      PathAt(index, fill, true, first, count);
      if (grouped) {
        Emit(Marker(1));
      }
    };
    if (state_.brushStyle != 1) {
      copy(state_.brushColour, 1);
    }
    if (state_.penStyle != 5) {
      copy(state_.penColour, 0);
    }
    for (int i = 0; measuring_ && i < count; ++i) {
      Widen(P16(first + 2 * static_cast<std::size_t>(i)),
            P16(first + 2 * static_cast<std::size_t>(i) + 1));
    }
  }

  static int Clamp16(float v) {
    return static_cast<int>(std::clamp(std::trunc(v), -32768.0F, 32767.0F));
  }

  bool Box(bool ellipse) {
    if (!Has(8)) {
      return false;
    }
    const float x1 = X(P16(3)), y1 = Y(P16(2)), x2 = X(P16(1)), y2 = Y(P16(0));
    if (measuring_) {
      Widen(Clamp16(x1), Clamp16(y1));
      Widen(Clamp16(x2), Clamp16(y2));
    }
    if (ellipse) {
      ++out_.ellipses;
      const std::uint32_t number = sequence_++;
      if (state_.brushStyle != 1) {
        Emit({8, NearestPaletteIndex(state_.brushColour), 1, false, 0, number, {}});
      }
      Emit({8, NearestPaletteIndex(state_.penColour), 0, false, 0, number, {}});
    } else {
      ++out_.rectangles;
      Emit({3,
            NearestPaletteIndex(state_.penColour),
            0,
            true,
            4,
            sequence_++,
            {{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}}});
    }
    return true;
  }

  bool Act(int function) {
    switch (function) {
      case 0x001E:
        if (saved_.size() < kMaxSavedStates) {
          saved_.push_back(state_);
        } else {
          ++ignored_;
        }
        return true;
      case 0x0127:
        if (!Has(2)) {
          return false;
        }
        if (P16(0) == -1) {
          if (ignored_ > 0) {
            --ignored_;
          } else if (!saved_.empty()) {
            state_ = saved_.back();
            saved_.pop_back();
          }
        }
        return true;
      case 0x00F7:
        Create({Object::Palette});
        return true;
      case 0x00F8:
      case 0x0142:
      case 0x01F9:
      case 0x02FB:
      case 0x02FD:
      case 0x06FE:
      case 0x06FF:
        Create({Object::Other});
        return true;
      case 0x02FA:
        if (!Has(10)) {
          return false;
        }
        Create({Object::Pen, U32(params_ + 6), P16(0)});
        return true;
      case 0x02FC:
        if (!Has(6)) {
          return false;
        }
        if (P16(0) >= 0 && P16(0) <= 2) {
          Create({Object::Brush, U32(params_ + 2), P16(0)});
        } else {
          Create({Object::Other});
        }
        return true;
      case 0x012D:
      case 0x01F0: {
        if (!Has(2)) {
          return false;
        }
        const auto found = state_.objects.find(P16(0));
        if (function == 0x01F0) {
          if (found != state_.objects.end()) {
            state_.objects.erase(found);
          }
        } else if (found != state_.objects.end() && found->second.kind == Object::Pen) {
          state_.penColour = found->second.colour;
          state_.penStyle = found->second.style;
        } else if (found != state_.objects.end() && found->second.kind == Object::Brush) {
          state_.brushColour = found->second.colour;
          state_.brushStyle = found->second.style;
        }
        return true;
      }
      case 0x0324:
      case 0x0325: {
        if (!Has(2) || !Has(2 + 4 * static_cast<std::size_t>(PU16(0)))) {
          return false;
        }
        if (function == 0x0324) {
          ++out_.polygons;
          Polygon(1, PU16(0), false);
        } else {
          ++out_.polylines;
          if (state_.penStyle != 5) {
            PathAt(1, 0, false, 1, PU16(0));
            for (int i = 0; measuring_ && i < PU16(0); ++i) {
              Widen(P16(1 + 2 * static_cast<std::size_t>(i)),
                    P16(2 + 2 * static_cast<std::size_t>(i)));
            }
          }
        }
        return true;
      }
      case 0x0538: {
        if (!Has(2)) {
          return false;
        }
        const std::size_t polygons = static_cast<std::size_t>(PU16(0));
        if (!Has(2 + 2 * polygons)) {
          return false;
        }
        std::size_t total = 0;
        for (std::size_t i = 0; i < polygons; ++i) {
          total += static_cast<std::size_t>(PU16(1 + i));
        }
        if (!Has(2 + 2 * polygons + 4 * total)) {
          return false;
        }
        ++out_.polyPolygons;
        std::size_t first = 1 + polygons;
        for (std::size_t i = 0; i < polygons; ++i) {
          Polygon(first, PU16(1 + i), true);
          first += 2 * static_cast<std::size_t>(PU16(1 + i));
        }
        return true;
      }
      case 0x041B:
        return Box(false);
      case 0x0418:
        return Box(true);
      default:
        return true;
    }
  }

  const Bytes& data_;
  std::size_t start_;
  ExpectedImport& out_;
  bool measuring_;
  double scale_, offsetX_, offsetY_;
  std::size_t params_ = 0, paramsEnd_ = 0;
  State state_;
  std::vector<State> saved_;
  std::size_t ignored_ = 0;
  std::uint32_t sequence_ = 6826;
};

}  // namespace

ExpectedImport ReferenceImport(const Bytes& metafile, float maxSize) {
  ExpectedImport expected;
  if (metafile.empty()) {
    return expected;
  }
  Bytes first(4, 0);
  std::copy_n(metafile.begin(), std::min<std::size_t>(4, metafile.size()), first.begin());
  const std::uint32_t key =
      first[0] | first[1] << 8 | first[2] << 16 | static_cast<std::uint32_t>(first[3]) << 24;
  std::size_t start = 0;
  if ((key & 0xFFFF) > 1) {
    if (key != 0x9AC6CDD7) {
      return expected;
    }
    start = 22;
  }
  expected.recognised = true;
  if (metafile.size() < start + 18) {
    return expected;
  }
  ExpectedImport measured;
  expected.damaged = Pass(metafile, start, measured, true, 1.0, 0.0, 0.0).Run();
  expected.box = measured.box;
  const BoundingBox& box = measured.box;
  double width = box.maxX - box.minX;
  double height = box.maxY - box.minY;
  width = width < 0.001 ? 1.0 : width;
  height = height < 0.001 ? 1.0 : height;
  Pass(metafile, start, expected, false, maxSize / std::max(width, height), box.maxX, box.maxY)
      .Run();
  return expected;
}

}  // namespace runebin::testing
