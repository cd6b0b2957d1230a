#include "tests/support/DrawingBuilder.h"

#include <algorithm>
#include <stdexcept>

#include "model/ByteOrder.h"
#include "model/DrawingFile.h"
#include "model/Format.h"
#include "platform/MemoryOutput.h"

namespace runebin::testing {

Bytes Header(char version, std::uint8_t compressed) {
  Bytes header(kHeaderSize, 0);
  const std::string text = "PVX (Plotvex for Windows) ";
  std::copy(text.begin(), text.end(), header.begin());
  header[kVersionOffset] = static_cast<std::uint8_t>(version);
  header[kCompressedFlagOffset] = compressed;
  return header;
}

Bytes Record(std::uint8_t type, const Bytes& body) {
  Bytes record(5 + body.size());
  PutU32(record.data(), static_cast<std::uint32_t>(record.size()));
  record[4] = type;
  std::copy(body.begin(), body.end(), record.begin() + 5);
  return record;
}

Bytes TypeZero(std::uint8_t subtype, std::size_t extra) {
  Bytes body(1 + extra, 0);
  body[0] = subtype;
  return Record(kTypeZero, body);
}

Bytes GroupOpen() {
  return Bytes(std::begin(kGroupOpen), std::end(kGroupOpen));
}
Bytes GroupClose() {
  return Bytes(std::begin(kGroupClose), std::end(kGroupClose));
}

namespace {

Bytes NamedRecord(std::uint8_t type, std::size_t length, std::size_t nameOffset,
                  std::string_view name) {
  Bytes record(std::max<std::size_t>(length, 5), 0);
  PutU32(record.data(), static_cast<std::uint32_t>(record.size()));
  record[4] = type;
  for (std::size_t i = 0; i < name.size() && i < kMaxNameLength && nameOffset + i < record.size();
       ++i) {
    record[nameOffset + i] = static_cast<std::uint8_t>(name[i]);
  }
  return record;
}

}  // namespace

Bytes Definition(std::string_view name, const std::vector<Bytes>& content, Extents extents,
                 std::size_t recordLength) {
  Bytes record = NamedRecord(kTypeSymbolDef, recordLength, kDefNameOffset, name);
  const std::pair<std::size_t, float> fields[] = {{kDefLowXOffset, extents.lowX},
                                                  {kDefLowYOffset, extents.lowY},
                                                  {kDefHighXOffset, extents.highX},
                                                  {kDefHighYOffset, extents.highY}};
  for (const auto& [offset, value] : fields) {
    if (offset + 4 <= record.size()) {
      PutF32(record.data() + offset, value);
    }
  }
  return Join({record, GroupOpen(), Join(content), GroupClose()});
}

Bytes Reference(std::string_view name, std::size_t recordLength) {
  return NamedRecord(kTypeSymbolRef, recordLength, kRefNameOffset, name);
}

Bytes Group(std::uint8_t type, const std::vector<Bytes>& content) {
  return Join({Record(type, Bytes(20, 0)), GroupOpen(), Join(content), GroupClose()});
}

Bytes Join(const std::vector<Bytes>& parts) {
  Bytes all;
  for (const Bytes& part : parts) {
    all.insert(all.end(), part.begin(), part.end());
  }
  return all;
}

Bytes Repeat(const Bytes& unit, std::size_t times) {
  Bytes all;
  all.reserve(unit.size() * times);
  for (std::size_t i = 0; i < times; ++i) {
    all.insert(all.end(), unit.begin(), unit.end());
  }
  return all;
}

Bytes Drawing(const std::vector<Bytes>& records) {
  return Join({Header(), Join(records)});
}

Bytes Written(const DrawingFile& drawing) {
  MemoryOutput out;
  return drawing.WriteTo(out) ? out.written : Bytes{};
}

LoadedDrawing::LoadedDrawing(const Bytes& bytes) : DrawingFile("") {
  if (LoadFromMemory(bytes) != LoadResult::Loaded) {
    throw std::runtime_error("the test's drawing does not load");
  }
}

}  // namespace runebin::testing
