#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "metafile/BoundingBox.h"
#include "tests/support/DrawingBuilder.h"

namespace runebin::testing {

// What an import of a metafile should produce, worked out the plain way: a second, deliberately
// naive reading of the conversion rules (a map of objects, whole copies of the state on SaveDC,
// every record looked at by its full function number), to hold the import against on real and
// damaged files.
struct ExpectedRecord {
  int type = 0;  // 3 path, 8 ellipse, 17 group, 0 GroupOpen, 1 GroupClose
  int colour = 0;
  int fill = 0;
  bool closed = false;
  int vertices = 0;
  std::uint32_t sequence = 0;
  std::vector<std::pair<float, float>> points;  // paths only
};

struct ExpectedImport {
  bool recognised = false;
  bool damaged = false;  // the records stopped before an end record or the end of the data
  BoundingBox box;
  std::vector<ExpectedRecord> records;
  // Records of the metafile that draw, by kind, as met before the walk stopped.
  int polygons = 0, polylines = 0, polyPolygons = 0, rectangles = 0, ellipses = 0;
};

ExpectedImport ReferenceImport(const Bytes& metafile, float maxSize);

}  // namespace runebin::testing
