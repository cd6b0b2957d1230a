#pragma once

// Generated inputs shared by the benchmarks: drawings of a chosen shape and metafiles of a chosen
// mix. Each generator writes its file once and reuses it when it already exists (same path, same
// contents), so several benchmarks and rounds share one copy.

#include <cstddef>
#include <string>

namespace runebin::bench {

// Counts of the top-level records of a generated drawing, in file order: type-0 records (40..103
// bytes), symbol definitions with `recordsPerDefinition` 100-byte records in their groups,
// references (84 bytes, naming the definitions round robin in a scattered order), and other
// records of types 1..16 (`otherBase` .. `otherBase` + 64 bytes).
struct DrawingShape {
  int typeZeroRecords = 0;
  int definitions = 0;
  int recordsPerDefinition = 24;
  int references = 0;
  int otherRecords = 0;
  int otherBase = 120;
};

// The name of generated definition `n`: "Symbol<n>".
std::string DefinitionName(int n);

// Writes the drawing to `path` unless a file is there; returns its size in bytes.
std::size_t GenerateDrawing(const std::string& path, const DrawingShape& shape);

// What a generated metafile holds, in parts per hundred of its drawing records.
struct MetafileMix {
  const char* name;
  int polygons, polylines, sets, ellipses;  // the rest are rectangles
  int minPoints, maxPoints;                 // per polygon and polyline
  int nullPens, hollowBrushes;              // percent of the pens and brushes created
  int shapesPerColourChange;
};

// Like the vector drawings of the shared corpus (clip art): mostly polygons of a few dozen
// points, filled without an outline about half the time. Output about twice the input.
inline constexpr MetafileMix kClipArt = {"clipart", 60, 15, 10, 8, 8, 40, 50, 15, 3};
// Every shape filled and outlined, many ellipses and rectangles (which grow the most), a colour
// change every fourth shape: the most output per input byte that a real drawing could make.
inline constexpr MetafileMix kDense = {"dense", 37, 13, 13, 25, 6, 14, 6, 12, 4};

// A reproducible metafile of `drawingRecords` shapes with pens and brushes created, selected and
// deleted between them, in $TMPDIR; the same file for the same mix and count.
struct GeneratedMetafile {
  std::string path;
  std::size_t bytes = 0;
};
GeneratedMetafile GenerateMetafile(const MetafileMix& mix, int drawingRecords);

}  // namespace runebin::bench
