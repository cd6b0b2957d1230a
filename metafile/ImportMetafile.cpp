#include "metafile/ImportMetafile.h"

#include "metafile/ConvertRecords.h"
#include "metafile/HostPalette.h"
#include "metafile/OutputRecords.h"
#include "model/Entity.h"
#include "model/Format.h"

namespace runebin {
namespace {

// Everything after a successful read: the measuring pass, the definition record and its group,
// the output pass, and the entity. Everything it uses lives in this call only.
ImportResult Convert(MetafileReader& reader, std::string_view name, float maxSize,
                     std::unique_ptr<SymbolDef>& out, ImportDetails& details) {
  BoundingBox box;  // all zero: the box always holds the origin
  PaletteMatcher palette;
  const PassResult measured = ConvertRecords(reader, box, 1.0F, nullptr, palette);
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
  ConvertRecords(reader, box, maxSize, &sink, palette);
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
  const ImportResult result = reader.ReadFile(path);
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
