#include "metafile/ImportMetafile.h"

#include <new>
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

// The output pass. A large drawing is written as two halves at once, the second on a thread of
// its own, from the checkpoint the measuring pass took, straight into its place in the reserved
// stream. The checkpoint carries all that the pass keeps from record to record, so the halves are
// the bytes one pass writes. Should the second half not be written as measured (no thread, no
// memory), it is written again after the first.
void WriteDrawing(const MetafileReader& reader, const BoundingBox& box, float maxSize,
                  OutputSink& sink, PaletteMatcher& palette, std::size_t drawingBytes,
                  const PassCheckpoint& middle) {
  if (middle.recordOffset == 0 || drawingBytes - middle.outputBytes < kMinSplitBytes ||
      sink.Room().size() < drawingBytes) {
    BoundingBox unchanged = box;
    ConvertRecords(reader, unchanged, maxSize, &sink, palette);
    return;
  }
  const std::size_t secondBytes = drawingBytes - middle.outputBytes;
  OutputSink second(sink.Room().subspan(middle.outputBytes, secondBytes));
  bool written = false;
  {
    std::jthread writer;
    try {
      writer = std::jthread([&] {
        try {
          PaletteMatcher own;  // a matcher is not shared between threads
          written = ConvertRecordsFrom(reader, box, maxSize, second, own, middle).outputBytes ==
                        drawingBytes &&
                    !second.Failed() && second.Bytes().size() == secondBytes;
        } catch (const std::bad_alloc&) {
          // written stays false: the second half is written again below
        }
      });
    } catch (const std::system_error&) {
      // no thread to be had: one pass after the other
    }
    ConvertRecordsBefore(reader, box, maxSize, sink, palette, middle);
  }  // joins the writer
  // The first half must end where the second starts.
  if (written && sink.Room().data() == second.Bytes().data()) {
    sink.Extend(secondBytes);  // already in place
  } else {
    ConvertRecordsFrom(reader, box, maxSize, sink, palette, middle);
  }
}

// Everything after a successful read: the measuring pass, the definition record and its group,
// the output pass, and the entity. Everything it uses lives in this call only.
ImportResult Convert(MetafileReader& reader, std::string_view name, float maxSize,
                     std::unique_ptr<SymbolDef>& out, ImportDetails& details) {
  BoundingBox box;  // all zero: the box always holds the origin
  PaletteMatcher palette;
  // The checkpoint in the middle of the data lets the output pass write two halves at once.
  PassCheckpoint middle;
  const PassResult measured = MeasureRecords(reader, box, reader.ExpectedSize() / 2, middle);
  reader.FinishReading();
  details.box = box;
  details.walkEnd = measured.end;
  details.drawingBytes = measured.outputBytes;

  // The measuring pass counted the bytes, so the stream is allocated once, at its final size.
  const std::size_t total = kDefRecordLength + kMarkerLength + measured.outputBytes + kMarkerLength;
  OutputSink sink;
  if (total > kMaxSymbolBytes || !sink.Reserve(total)) {
    return ImportResult::Succeeded;  // too large, or no memory for the symbol: success without one
  }
  DefinitionExtents extents;
  extents.lowX = static_cast<float>(box.minX) * maxSize;
  extents.lowY = static_cast<float>(box.minY) * maxSize;
  extents.highX = static_cast<float>(box.maxX) * maxSize;
  extents.highY = static_cast<float>(box.maxY) * maxSize;
  AppendDefinition(sink, extents, name);
  AppendMarker(sink, kGroupOpen);
  WriteDrawing(reader, box, maxSize, sink, palette, measured.outputBytes, middle);
  AppendMarker(sink, kGroupClose);
  details.outputBytes = sink.Bytes().size();

  // The input is no longer needed; free it before the entity is built.
  reader.Release();
  if (sink.Failed()) {
    return ImportResult::Succeeded;
  }
  // The entity takes over the stream rather than copying it: a large symbol exists once.
  std::unique_ptr<Entity> entity = CreateEntity(sink.TakeBytes());
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
                            std::unique_ptr<SymbolDef>& out, ImportDetails& details) {
  out.reset();
  details = ImportDetails{};
  MetafileReader reader;
  const ImportResult result = reader.StartReading(path);
  if (result != ImportResult::Succeeded) {
    return result;
  }
  return Convert(reader, name, maxSize, out, details);
}

ImportResult ImportMetafileBytes(std::span<const std::uint8_t> bytes, std::string_view name,
                                 float maxSize, std::unique_ptr<SymbolDef>& out,
                                 ImportDetails& details) {
  out.reset();
  details = ImportDetails{};
  MetafileReader reader;
  const ImportResult result = reader.UseBytes(bytes);
  if (result != ImportResult::Succeeded) {
    return result;
  }
  return Convert(reader, name, maxSize, out, details);
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
