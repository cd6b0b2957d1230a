#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "metafile/BoundingBox.h"
#include "metafile/ImportResult.h"
#include "metafile/MetafileReader.h"
#include "metafile/OutputRecords.h"
#include "model/NamedEntity.h"

namespace runebin {

// The largest symbol an import makes. 82 output bytes per input byte would let 128 MiB of
// hostile data (sets of empty polygons) ask for 10.5 GiB; real drawings make a few output bytes
// per input byte. A metafile whose symbol would be larger imports as when memory runs out:
// success without a symbol, and nothing is allocated for it.
inline constexpr std::size_t kMaxSymbolBytes = std::size_t{1} << 30;  // 1 GiB

// Turns a Windows Metafile into a new symbol definition: polygons, polylines, sets of polygons,
// rectangles and ellipses become path, ellipse and group records in the host palette's colours,
// scaled so that the drawing's larger dimension is `maxSize`. Text, bitmaps, arcs, regions,
// clipping and raster operations are not converted.
//
// The result, in `out`, is a SymbolDef: the 88-byte definition record named `name` (its first 31
// bytes) with the extents of the drawing's bounding box times `maxSize`, then GroupOpen, the
// converted records in metafile order, GroupClose.
//
// Returns ImportResult::Succeeded or the reader's failure: ImportResult::OpenFailed,
// ImportResult::ReadFailed or ImportResult::UnknownType (from the file's first bytes). `out` is
// reset first and set only on success; a success can still leave it empty when memory ran out while
// building the symbol, which the caller reports as an internal error. Shows no message; every call
// is independent of the previous ones (nothing is kept between imports) and may run on any thread.
//
// Damaged data is never rejected after the first bytes are recognised: the records are converted
// up to the first one that cannot be read whole, and what came before it is kept (see
// WalkRecords). At most 128 MiB of the file are used.
//
// The output is bounded by the input: a record's parameters produce at most 82 bytes of output
// per input byte (a set of polygons whose counts are all 0; ordinary polygons make 4 bytes per
// input byte), plus 98 bytes of framing. It is also bounded outright by kMaxSymbolBytes.
ImportResult ImportMetafile(const std::string& path, std::string_view name, float maxSize,
                            std::unique_ptr<SymbolDef>& out);

// The same import from bytes in memory (the first 128 MiB of them), for tests, fuzzers and callers
// that have the file already. ImportResult::OpenFailed does not occur; empty bytes give
// ImportResult::ReadFailed.
ImportResult ImportMetafileBytes(std::span<const std::uint8_t> bytes, std::string_view name,
                                 float maxSize, std::unique_ptr<SymbolDef>& out);

// What an import saw, for callers that want to say more than the result (and for tests).
struct ImportDetails {
  WalkEnd walkEnd = WalkEnd::EndRecord;  // how the records ended
  BoundingBox box;                       // the drawing's extent in metafile coordinates
  std::size_t outputBytes = 0;           // the whole symbol, definition and markers included
  std::size_t drawingBytes = 0;          // the converted records alone: 0 when nothing converted
  // SymbolBytes::HandedOverOnly: every byte of the symbol, outputBytes of them, was handed over,
  // and they frame as one definition with its group.
  bool handedOver = false;
};

// Whether an import with `finished` keeps the symbol it hands over.
enum class SymbolBytes {
  Kept,            // in `out`, as without `finished`
  HandedOverOnly,  // nowhere else: `out` stays empty, and only a few megabytes are held at a time
};

// With `finished`, the symbol's bytes are handed over as they are made (see FinishedBytes), from
// two threads at once for a large drawing: by the time a symbol is returned, every one of its bytes
// was handed over after its last change. Bytes handed over for a symbol that is not returned (no
// memory, or none made) are of no use. With SymbolBytes::HandedOverOnly the bytes handed over
// are the symbol when details.handedOver says so, and of no use otherwise.
ImportResult ImportMetafile(const std::string& path, std::string_view name, float maxSize,
                            std::unique_ptr<SymbolDef>& out, ImportDetails& details,
                            const FinishedBytes& finished = {},
                            SymbolBytes keep = SymbolBytes::Kept);
ImportResult ImportMetafileBytes(std::span<const std::uint8_t> bytes, std::string_view name,
                                 float maxSize, std::unique_ptr<SymbolDef>& out,
                                 ImportDetails& details, const FinishedBytes& finished = {},
                                 SymbolBytes keep = SymbolBytes::Kept);

}  // namespace runebin
