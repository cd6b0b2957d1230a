#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace runebin {

class Entity;

// What a symbol draws, read from the records of its group: paths (type 3) and ellipses (type 8)
// in the coordinates the records hold (y upwards, as the metafile import writes them), with their
// colours taken through the host palette. Everything else in the group is counted, not drawn.

struct Point {
  float x = 0;
  float y = 0;
};

// An axis-aligned box; empty until something is included.
struct Bounds {
  float minX = 0;
  float minY = 0;
  float maxX = 0;
  float maxY = 0;
  bool empty = true;

  void Include(float x, float y);
  float Width() const { return maxX - minX; }
  float Height() const { return maxY - minY; }
};

enum class ShapeKind : std::uint8_t { Path, Ellipse };

struct Shape {
  ShapeKind kind = ShapeKind::Path;
  bool filled = false;            // drawn in its colour inside, else as an outline
  bool closed = false;            // paths: the last vertex joins the first
  std::uint8_t colourIndex = 0;   // into HostPalette
  std::uint32_t colour = 0;       // HostPalette[colourIndex], red in the low byte
  std::uint32_t firstVertex = 0;  // paths: range in DisplayList::vertices
  std::uint32_t vertexCount = 0;
  Point centre;  // ellipses: centre and half-axes
  float radiusX = 0;
  float radiusY = 0;
};

struct DisplayList {
  std::vector<Shape> shapes;  // in record order, which is the painting order
  std::vector<Point> vertices;
  Bounds bounds;             // of everything drawn (ellipses by their boxes)
  std::size_t notDrawn = 0;  // records of other kinds, and paths or ellipses that draw nothing
  std::size_t nestedReferences = 0;  // symbol references inside the group (their placement is
                                     // not in the fields we read, so they are not drawn)
  bool truncated = false;            // the work cap was reached: what came before is drawn
  bool damaged = false;              // a record runs past the data or the group is not closed
};

// The most a preview walks, so that a huge or hostile symbol cannot stall the window. Defaults
// keep building and painting a preview within a few tens of milliseconds.
struct RenderLimits {
  std::size_t maxVertices = 250'000;
  std::size_t maxRecords = 200'000;
};

// Builds the display list of a group-leading record with its group (a symbol definition's bytes):
// the leading record is skipped, then the records are walked by their lengths up to the marker
// that closes the group. Never reads outside `bytes`; ends at the first record that does not lie
// wholly inside it (setting `damaged`) and when a limit is reached (setting `truncated`).
DisplayList BuildDisplayList(std::span<const std::uint8_t> bytes, const RenderLimits& limits = {});
DisplayList BuildDisplayList(const Entity& definition, const RenderLimits& limits = {});

}  // namespace runebin
