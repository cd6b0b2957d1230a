#include "render/SvgWriter.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace runebin {
namespace {

// The shortest text that reads back as the value: as a float where it is one (the records hold
// floats), else as a double (a view box just past the largest float).
void AppendNumber(std::string& out, double value) {
  char buffer[32];
  const bool isFloat = std::fabs(value) <= std::numeric_limits<float>::max();
  const auto result = isFloat
                          ? std::to_chars(buffer, buffer + sizeof buffer, static_cast<float>(value))
                          : std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
}

void AppendColour(std::string& out, std::uint32_t colour) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "#%02X%02X%02X", colour & 0xFF, (colour >> 8) & 0xFF,
                (colour >> 16) & 0xFF);
  out += buffer;
}

void AppendEscaped(std::string& out, std::string_view text) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        if (byte < 0x20 && c != '\t') {
          out += '?';
        } else {
          out += c;
        }
    }
  }
}

// fill="..." stroke="..." for a shape in its colour.
void AppendPaint(std::string& out, const Shape& shape) {
  out += shape.filled ? " fill=\"" : " fill=\"none\" stroke=\"";
  AppendColour(out, shape.colour);
  out += '"';
}

void AppendPath(std::string& out, const DisplayList& list, const Shape& shape) {
  out += "<path d=\"";
  for (std::uint32_t i = 0; i < shape.vertexCount; ++i) {
    const Point& p = list.vertices[shape.firstVertex + i];
    out += i == 0 ? "M" : " L";
    AppendNumber(out, p.x);
    out += ' ';
    AppendNumber(out, -p.y);
  }
  out += shape.closed ? " Z\"" : "\"";
  AppendPaint(out, shape);
  out += "/>\n";
}

void AppendEllipse(std::string& out, const Shape& shape) {
  out += "<ellipse cx=\"";
  AppendNumber(out, shape.centre.x);
  out += "\" cy=\"";
  AppendNumber(out, -shape.centre.y);
  out += "\" rx=\"";
  AppendNumber(out, shape.radiusX);
  out += "\" ry=\"";
  AppendNumber(out, shape.radiusY);
  out += '"';
  AppendPaint(out, shape);
  out += "/>\n";
}

}  // namespace

std::string WriteSvg(const DisplayList& list, const SvgOptions& options) {
  const int size = std::max(options.size, 1);
  double minX = 0, minY = 0, w = 0, h = 0;
  if (!list.bounds.empty) {
    minX = list.bounds.minX;
    minY = -static_cast<double>(list.bounds.maxY);  // turned over: the top is the highest y
    w = static_cast<double>(list.bounds.maxX) - list.bounds.minX;
    h = static_cast<double>(list.bounds.maxY) - list.bounds.minY;
  }
  const double larger = std::max({w, h, 1e-6});
  const double stroke = larger / size;
  // Outlines on the bounds are half outside them; leave that room on every side.
  minX -= stroke;
  minY -= stroke;
  w += 2 * stroke;
  h += 2 * stroke;
  const double pixels = size / std::max(w, h);

  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  out += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"";
  AppendNumber(out, std::max(1.0, std::round(w * pixels)));
  out += "\" height=\"";
  AppendNumber(out, std::max(1.0, std::round(h * pixels)));
  out += "\" viewBox=\"";
  AppendNumber(out, minX);
  out += ' ';
  AppendNumber(out, minY);
  out += ' ';
  AppendNumber(out, w);
  out += ' ';
  AppendNumber(out, h);
  out += "\" stroke-width=\"";
  AppendNumber(out, stroke);
  out += "\" stroke-linejoin=\"round\">\n";
  if (!options.title.empty()) {
    out += "<title>";
    AppendEscaped(out, options.title);
    out += "</title>\n";
  }
  out.reserve(out.size() + list.vertices.size() * 20 + list.shapes.size() * 64);
  for (const Shape& shape : list.shapes) {
    if (shape.kind == ShapeKind::Path) {
      AppendPath(out, list, shape);
    } else {
      AppendEllipse(out, shape);
    }
  }
  out += "</svg>\n";
  return out;
}

}  // namespace runebin
