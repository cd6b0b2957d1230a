#include "metafile/ImportMetafile.h"

#include <algorithm>
#include <new>
#include <span>
#include <system_error>
#include <thread>

#include "metafile/ConvertRecords.h"
#include "metafile/HostPalette.h"
#include "metafile/OutputRecords.h"
#include "model/Entity.h"
#include "model/Format.h"

namespace runebin {
namespace {

// Below this many bytes for its second half, a drawing is written in one pass: a thread costs
// more than it saves.
constexpr std::size_t kMinSplitBytes = std::size_t{4} << 20;

// Whether `records` are whole records whose groups all close within them, none closing more than
// it opened: a stretch of a group's body. Both halves of a drawing framed so, between the
// definition record with its GroupOpen and the GroupClose, make one whole group.
bool FramedStretch(std::span<const std::uint8_t> records) {
  long depth = 0;
  for (std::size_t offset = 0; offset < records.size();) {
    const std::size_t length = RecordLength(records.subspan(offset));
    if (length == 0) {
      return false;
    }
    if (length == kMarkerLength) {
      const std::uint8_t type = records[offset + kTypeOffset];
      if (type == kMarkerClose && --depth < 0) {
        return false;
      }
      if (type == kMarkerOpen) {
        ++depth;
      }
    }
    offset += length;
  }
  return depth == 0;
}

// Runs `second` on a thread of its own while `first` runs here, and waits for both. Running out of
// memory ends `second` early, leaving what it sets as it was. Returns false, having run `first`
// alone, when no thread was to be had.
template <typename Second, typename First>
bool RunBeside(const Second& second, const First& first) {
  std::jthread beside;
  try {
    beside = std::jthread([&] {
      try {
        second();
      } catch (const std::bad_alloc&) {
        // what it sets stays as it was
      }
    });
  } catch (const std::system_error&) {
    first();
    return false;
  }
  first();
  return true;
}

// The output pass. A large drawing is written as two halves at once, the second on a thread of
// its own, from the checkpoint the measuring pass took, straight into its place in the reserved
// stream. The checkpoint carries all that the pass keeps from record to record, so the halves are
// the bytes one pass writes. Should the second half not be written as measured (no thread, no
// memory), it is written again after the first.
//
// Returns whether the halves were written at once and each thread checked the framing of its own
// half, so that the symbol need not be framed again as a whole, on one processor.
bool WriteDrawing(const MetafileReader& reader, const BoundingBox& box, float maxSize,
                  OutputSink& sink, PaletteMatcher& palette, std::size_t drawingBytes,
                  const PassCheckpoint& middle, const FinishedBytes* finished) {
  if (middle.recordOffset == 0 || drawingBytes - middle.outputBytes < kMinSplitBytes ||
      sink.Room().size() < drawingBytes) {
    BoundingBox unchanged = box;
    ConvertRecords(reader, unchanged, maxSize, &sink, palette);
    return false;
  }
  const std::size_t firstStart = sink.Bytes().size();
  const std::size_t secondBytes = drawingBytes - middle.outputBytes;
  OutputSink second(sink.Room().subspan(middle.outputBytes, secondBytes));
  second.HandOverTo(finished, firstStart + middle.outputBytes);
  bool written = false;  // stays false without a thread: the second half is written again below
  bool firstFramed = false;
  RunBeside(
      [&] {
        PaletteMatcher own;  // a matcher is not shared between threads
        written = ConvertRecordsFrom(reader, box, maxSize, second, own, middle).outputBytes ==
                      drawingBytes &&
                  !second.Failed() && second.Bytes().size() == secondBytes &&
                  FramedStretch(second.Bytes());
        second.HandOverRest();
      },
      [&] {
        ConvertRecordsBefore(reader, box, maxSize, sink, palette, middle);
        firstFramed = FramedStretch(sink.Bytes().subspan(firstStart));
      });
  // The first half must end where the second starts.
  if (written && sink.Room().data() == second.Bytes().data()) {
    sink.HandOverRest();
    sink.Extend(secondBytes);  // already in place
    sink.HandedOverElsewhere();
    return firstFramed;
  }
  // Both halves may have handed over the same places: all of it goes again, in order.
  sink.HandOverAgain();
  ConvertRecordsFrom(reader, box, maxSize, sink, palette, middle);
  return false;
}

// The output pass of an import that keeps nothing (SymbolBytes::HandedOverOnly): as WriteDrawing,
// but each half streams into its place through a few megabytes of its own, its framing checked as
// it goes. Returns false when the halves did not come out as measured, or the second could not be
// written: the bytes handed over are then of no use.
bool StreamDrawing(const MetafileReader& reader, const BoundingBox& box, float maxSize,
                   OutputSink& sink, PaletteMatcher& palette, std::size_t drawingBytes,
                   const PassCheckpoint& middle, const FinishedBytes& finished) {
  if (middle.recordOffset == 0 || drawingBytes - middle.outputBytes < kMinSplitBytes) {
    BoundingBox unchanged = box;
    ConvertRecords(reader, unchanged, maxSize, &sink, palette);
    return true;
  }
  const std::size_t secondStart = sink.Streamed() + middle.outputBytes;
  const std::size_t secondBytes = drawingBytes - middle.outputBytes;
  bool written = false;
  const bool threaded = RunBeside(
      [&] {
        OutputSink second;
        PaletteMatcher own;  // a matcher is not shared between threads
        if (second.Reserve(std::min(secondBytes, OutputSink::kStreamRoom))) {
          second.StreamTo(&finished, secondStart, RecordFraming::Kind::Stretch);
          const PassResult result = ConvertRecordsFrom(reader, box, maxSize, second, own, middle);
          second.HandOverRest();
          written = result.outputBytes == drawingBytes && second.Streamed() == secondBytes &&
                    second.StreamedFramed();
        }
      },
      [&] { ConvertRecordsBefore(reader, box, maxSize, sink, palette, middle); });
  if (!threaded) {
    // One half after the other.
    ConvertRecordsFrom(reader, box, maxSize, sink, palette, middle);
    return true;
  }
  // The first half must end where the second starts.
  if (!written || sink.Streamed() != secondStart) {
    return false;
  }
  sink.HandOverRest();
  sink.SkipStreamed(secondBytes);
  return true;
}

// Everything after a successful read: the measuring pass, the definition record and its group,
// the output pass, and the entity. Everything it uses lives in this call only.
ImportResult Convert(MetafileReader& reader, std::string_view name, float maxSize,
                     std::unique_ptr<SymbolDef>& out, ImportDetails& details,
                     const FinishedBytes& finished, SymbolBytes keep) {
  BoundingBox box;  // all zero: the box always holds the origin
  PaletteMatcher palette;
  // The checkpoint in the middle of the data lets the output pass write two halves at once.
  PassCheckpoint middle;
  const PassResult measured = MeasureRecords(reader, box, reader.ExpectedSize() / 2, middle);
  reader.FinishReading();
  details.box = box;
  details.walkEnd = measured.end;
  details.drawingBytes = measured.outputBytes;

  // The measuring pass counted the bytes, so the stream is allocated once, at its final size; a
  // stream that keeps nothing reuses a few megabytes instead.
  const std::size_t total = kDefRecordLength + kMarkerLength + measured.outputBytes + kMarkerLength;
  const bool streaming = keep == SymbolBytes::HandedOverOnly && finished;
  OutputSink sink;
  if (total > kMaxSymbolBytes ||
      !sink.Reserve(streaming ? std::min(total, OutputSink::kStreamRoom) : total)) {
    return ImportResult::Succeeded;  // too large, or no memory for the symbol: success without one
  }
  if (streaming) {
    sink.StreamTo(&finished, 0, RecordFraming::Kind::WholeGroup);
  } else {
    sink.HandOverTo(&finished, 0);
  }
  DefinitionExtents extents;
  extents.lowX = static_cast<float>(box.minX) * maxSize;
  extents.lowY = static_cast<float>(box.minY) * maxSize;
  extents.highX = static_cast<float>(box.maxX) * maxSize;
  extents.highY = static_cast<float>(box.maxY) * maxSize;
  AppendDefinition(sink, extents, name);
  AppendMarker(sink, kGroupOpen);
  const bool framed = streaming ? StreamDrawing(reader, box, maxSize, sink, palette,
                                                measured.outputBytes, middle, finished)
                                : WriteDrawing(reader, box, maxSize, sink, palette,
                                               measured.outputBytes, middle, &finished);
  AppendMarker(sink, kGroupClose);
  sink.HandOverRest();
  if (streaming) {
    details.outputBytes = sink.Streamed();
    details.handedOver = framed && sink.StreamedFramed() && details.outputBytes == total;
    return ImportResult::Succeeded;
  }
  details.outputBytes = sink.Bytes().size();

  // The input is no longer needed; free it before the entity is built.
  reader.Release();
  if (sink.Failed()) {
    return ImportResult::Succeeded;
  }
  // The entity takes over the stream rather than copying it: a large symbol exists once.
  platform::ByteBuffer bytes = sink.TakeBytes();
  std::unique_ptr<Entity> entity = framed && bytes.size() > 0 ? CreateFramedEntity(std::move(bytes))
                                                              : CreateEntity(std::move(bytes));
  // The factory leaves the entity empty when it ran out of memory.
  if (auto* definition = dynamic_cast<SymbolDef*>(entity.get());
      definition != nullptr && definition->Length() > 0) {
    entity.release();
    out.reset(definition);
  }
  return ImportResult::Succeeded;
}

}  // namespace

ImportResult ImportMetafile(const std::string& path, std::string_view name, float maxSize,
                            std::unique_ptr<SymbolDef>& out, ImportDetails& details,
                            const FinishedBytes& finished, SymbolBytes keep) {
  out.reset();
  details = ImportDetails{};
  MetafileReader reader;
  const ImportResult result = reader.StartReading(path);
  if (result != ImportResult::Succeeded) {
    return result;
  }
  return Convert(reader, name, maxSize, out, details, finished, keep);
}

ImportResult ImportMetafileBytes(std::span<const std::uint8_t> bytes, std::string_view name,
                                 float maxSize, std::unique_ptr<SymbolDef>& out,
                                 ImportDetails& details, const FinishedBytes& finished,
                                 SymbolBytes keep) {
  out.reset();
  details = ImportDetails{};
  MetafileReader reader;
  const ImportResult result = reader.UseBytes(bytes);
  if (result != ImportResult::Succeeded) {
    return result;
  }
  return Convert(reader, name, maxSize, out, details, finished, keep);
}

ImportResult ImportMetafile(const std::string& path, std::string_view name, float maxSize,
                            std::unique_ptr<SymbolDef>& out) {
  ImportDetails details;
  return ImportMetafile(path, name, maxSize, out, details);
}

ImportResult ImportMetafileBytes(std::span<const std::uint8_t> bytes, std::string_view name,
                                 float maxSize, std::unique_ptr<SymbolDef>& out) {
  ImportDetails details;
  return ImportMetafileBytes(bytes, name, maxSize, out, details);
}

}  // namespace runebin
