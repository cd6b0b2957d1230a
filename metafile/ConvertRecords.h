#pragma once

#include <cstddef>

#include "metafile/BoundingBox.h"
#include "metafile/DrawingState.h"
#include "metafile/HostPalette.h"
#include "metafile/MetafileReader.h"
#include "metafile/OutputRecords.h"

namespace runebin {

// The point mapping of one pass, fixed from the bounding box at the pass's start:
// x' = (x + maxX) * S and y' = (maxY - y) * S with S = maxSize / D, D the larger of the box's
// width and height (each below 0.001 counting as 1). The y axis turns upwards; x is shifted by
// +maxX, not by -minX, as the host application's symbols expect. Computed in double precision,
// stored as single.
struct PointMapping {
  double scale = 1.0;
  double offsetX = 0.0;
  double offsetY = 0.0;

  static PointMapping ForBox(const BoundingBox& box, float maxSize);
  float X(double x) const { return static_cast<float>((x + offsetX) * scale); }
  float Y(double y) const { return static_cast<float>((offsetY - y) * scale); }
};

struct PassResult {
  WalkEnd end = WalkEnd::EndRecord;
  // The bytes of the records the pass produced or, without a sink, would have produced.
  std::size_t outputBytes = 0;
};

// One pass over the records of a metafile that `reader` holds, with a fresh drawing state and the
// sequence numbers starting at 6826.
//
// Without a sink it is the measuring pass: it widens `box` with the drawing's points (polygon,
// polyline and set-of-polygon vertices as they are; rectangle and ellipse corners as mapped) and
// counts the bytes the output pass will write. With a sink it is the output pass: it appends the
// records and leaves `box` alone (its widening could change nothing the import uses). Both passes
// change the drawing state and take sequence numbers identically, and stop at the same record.
//
// A record the converter acts on must hold the parameters of its kind, or the walk ends there
// (whatever pen and brush are selected): RestoreDC, SelectObject and DeleteObject 2 bytes,
// CreatePenIndirect 10, CreateBrushIndirect 6, Rectangle and Ellipse 8, Polygon and Polyline
// 2 + 4 per point, a set of polygons 2 + 2 per polygon + 4 per point. Longer records are fine.
//
// Colours are mapped through `palette` only when a record is written.
PassResult ConvertRecords(const MetafileReader& reader, BoundingBox& box, float maxSize,
                          OutputSink* sink, PaletteMatcher& palette);

// All that a pass carries from one record to the next, as it stood in front of one record: the
// rest of the pass can be run from there on its own.
struct PassCheckpoint {
  std::size_t recordOffset = 0;  // the record's, in the reader's data; 0 while none is taken
  std::size_t outputBytes = 0;   // the bytes of the records before it
  std::uint32_t sequence = kFirstSequenceNumber;
  DrawingState state;
};

// The measuring pass, which also takes `checkpoint` in front of the first record it hands to the
// converter that starts `splitAt` or more bytes into the data (none when the walk ends first).
PassResult MeasureRecords(const MetafileReader& reader, BoundingBox& box, std::size_t splitAt,
                          PassCheckpoint& checkpoint);
// The output pass cut in two at a checkpoint: the records in front of it, then the records from
// it on (whose PassResult counts the bytes of the whole pass). One after the other, into one
// sink, they write what ConvertRecords writes; they may also run at the same time, the second
// into a sink over the room the first leaves, each with its own palette.
PassResult ConvertRecordsBefore(const MetafileReader& reader, const BoundingBox& box, float maxSize,
                                OutputSink& sink, PaletteMatcher& palette,
                                const PassCheckpoint& checkpoint);
PassResult ConvertRecordsFrom(const MetafileReader& reader, const BoundingBox& box, float maxSize,
                              OutputSink& sink, PaletteMatcher& palette,
                              const PassCheckpoint& checkpoint);

}  // namespace runebin
