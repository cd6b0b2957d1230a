#include "fuzz/DrawingChecks.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

#include "model/ByteOrder.h"
#include "model/Format.h"
#include "model/NamedEntity.h"
#include "platform/MemoryOutput.h"
#include "symbols/SymbolCommands.h"

namespace runebin::fuzz {
namespace {

std::uint8_t TypeOf(const Piece& piece) {
  return piece.bytes.size() > kTypeOffset ? piece.bytes[kTypeOffset] : 0;
}

// Order of the lists in a written file.
int Category(const Piece& piece) {
  if (piece.tail) {
    return 3;
  }
  switch (TypeOf(piece)) {
    case kTypeZero:
      return 0;
    case kTypeSymbolDef:
      return 1;
    default:
      return 2;
  }
}

// The name field of a piece's own record (never of its group).
std::string PieceName(const Piece& piece, std::size_t offset) {
  const auto length = ReadI32(piece.bytes, kLengthOffset);
  std::size_t own = piece.bytes.size();
  if (length && *length >= 0 && static_cast<std::size_t>(*length) < own) {
    own = static_cast<std::size_t>(*length);
  }
  return ReadNameField(piece.bytes.first(own), offset);
}

// The extent of the top-level record at the start of `bytes`, worked out again from the format's
// rules without the model's helpers, so that a fault in the loader's group scan shows up as a
// difference: a record is its 32-bit length (at least 5, inside the data) and a type byte; types
// 17, 18 and 28 take the records after them up to the 5-byte type-1 record that brings the
// nesting (raised by 5-byte type-0 records) to 0 or below. 0 when that cannot be read.
std::size_t IndependentExtent(std::span<const std::uint8_t> bytes) {
  auto recordLength = [&](std::size_t at) -> std::size_t {
    if (bytes.size() - at < 5) {
      return 0;
    }
    const std::int64_t length = static_cast<std::int32_t>(
        bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | std::uint32_t{bytes[at + 3]} << 24);
    return length < 5 || static_cast<std::uint64_t>(length) > bytes.size() - at
               ? 0
               : static_cast<std::size_t>(length);
  };
  const std::size_t first = recordLength(0);
  if (first == 0) {
    return 0;
  }
  const std::uint8_t type = bytes[4];
  if (type != 17 && type != 18 && type != 28) {
    return first;
  }
  std::int64_t depth = 0;
  for (std::size_t at = 0; at < bytes.size();) {
    const std::size_t length = recordLength(at);
    if (length == 0) {
      return 0;
    }
    const std::uint8_t marker = bytes[at + 4];
    at += length;
    if (length == 5 && marker == 1 && --depth <= 0) {
      return at;
    }
    if (length == 5 && marker == 0) {
      ++depth;
    }
  }
  return 0;
}

}  // namespace

void Fail(const char* condition, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
  std::abort();
}

std::vector<Piece> SplitBody(std::span<const std::uint8_t> file) {
  std::vector<Piece> pieces;
  if (file.size() <= kHeaderSize) {
    return pieces;
  }
  const auto body = file.subspan(kHeaderSize);
  std::size_t offset = 0;
  while (offset < body.size()) {
    const auto rest = body.subspan(offset);
    const std::size_t extent = IndependentExtent(rest);
    FUZZ_CHECK(extent == TopLevelExtent(rest));
    if (extent == 0) {
      pieces.push_back({rest, true});
      break;
    }
    pieces.push_back({rest.first(extent), false});
    offset += extent;
  }
  return pieces;
}

LoadResult ExpectedLoadResult(std::span<const std::uint8_t> file) {
  auto at = [&](std::size_t i) -> std::uint8_t { return i < file.size() ? file[i] : 0; };
  for (std::size_t i = 0; i < kSignature.size(); ++i) {
    if (at(i) != static_cast<std::uint8_t>(kSignature[i])) {
      return LoadResult::NotDrawing;
    }
  }
  if (at(kVersionOffset) != '6') {
    return LoadResult::WrongVersion;
  }
  return at(kCompressedFlagOffset) == 0 ? LoadResult::Loaded : LoadResult::Compressed;
}

Bytes ExpectedRegroupedFile(std::span<const std::uint8_t> file) {
  Bytes out(kHeaderSize, 0);
  std::copy_n(file.begin(), std::min(file.size(), kHeaderSize), out.begin());
  const auto pieces = SplitBody(file);
  for (int category = 0; category <= 3; ++category) {
    for (const Piece& piece : pieces) {
      if (Category(piece) == category) {
        out.insert(out.end(), piece.bytes.begin(), piece.bytes.end());
      }
    }
  }
  return out;
}

Bytes WriteToMemory(const DrawingFile& drawing) {
  MemoryOutput out;
  FUZZ_CHECK(drawing.WriteTo(out));
  return std::move(out.written);
}

namespace {

// An entity holds one record with its group, if it leads one, or a run of whole passive records
// that are all of type 0 or none.
bool HoldsWholeRecords(const Entity& entity) {
  const auto bytes = entity.Bytes();
  if (!IsPassiveRecord(entity.GetType())) {
    return TopLevelExtent(bytes) == bytes.size();
  }
  std::size_t at = 0;
  while (at < bytes.size()) {
    const std::size_t length = RecordLength(bytes.subspan(at));
    if (length == 0 || !IsPassiveRecord(bytes[at + kTypeOffset]) ||
        (bytes[at + kTypeOffset] == kTypeZero) != (entity.GetType() == kTypeZero)) {
      return false;
    }
    at += length;
  }
  return at > 0;
}

}  // namespace

void CheckLists(const DrawingFile& drawing) {
  for (int i = 0; i < drawing.TypeZeroEntities().GetSize(); ++i) {
    const Entity& entity = drawing.TypeZeroEntities().GetAt(i);
    FUZZ_CHECK(dynamic_cast<const TypeZeroEntity*>(&entity) != nullptr);
    FUZZ_CHECK(entity.GetType() == kTypeZero && HoldsWholeRecords(entity));
  }
  for (int i = 0; i < drawing.SymbolDefs().GetSize(); ++i) {
    const Entity& entity = drawing.SymbolDefs().GetAt(i);
    FUZZ_CHECK(dynamic_cast<const SymbolDef*>(&entity) != nullptr);
    FUZZ_CHECK(entity.GetType() == kTypeSymbolDef);
    FUZZ_CHECK(ScanGroupLength(entity.Bytes()) == entity.Length());
    // The extents come from the definition's own record, and read as 0 where it is too short.
    float extents[4];
    entity.GetExtents(extents[0], extents[1], extents[2], extents[3]);
    const std::size_t offsets[4] = {kDefLowXOffset, kDefLowYOffset, kDefHighXOffset,
                                    kDefHighYOffset};
    const auto own = static_cast<std::size_t>(ReadI32(entity.Bytes(), kLengthOffset).value_or(0));
    for (int k = 0; k < 4; ++k) {
      std::uint32_t expected = 0;
      if (offsets[k] + 4 <= own) {
        std::memcpy(&expected, entity.Bytes().data() + offsets[k], 4);  // little-endian host
      }
      FUZZ_CHECK(std::bit_cast<std::uint32_t>(extents[k]) == expected);
    }
  }
  const int others = drawing.OtherEntities().GetSize();
  for (int i = 0; i < others; ++i) {
    const Entity& entity = drawing.OtherEntities().GetAt(i);
    const bool tail = dynamic_cast<const UnreadableTail*>(&entity) != nullptr;
    FUZZ_CHECK(!tail || i == others - 1);
    FUZZ_CHECK(entity.Length() > 0);
    if (!tail) {
      FUZZ_CHECK(dynamic_cast<const SymbolDef*>(&entity) == nullptr);
      FUZZ_CHECK(dynamic_cast<const TypeZeroEntity*>(&entity) == nullptr);
      FUZZ_CHECK(entity.GetType() != kTypeZero && entity.GetType() != kTypeSymbolDef);
      FUZZ_CHECK(HoldsWholeRecords(entity));
    }
  }
}

void CheckLoadHints(const DrawingFile& drawing) {
  // What a load tells its entities about their names and groups must be what their bytes say:
  // an entity without hints (made afresh from the same bytes) reads the same.
  for (const EntityList* list :
       {&drawing.TypeZeroEntities(), &drawing.SymbolDefs(), &drawing.OtherEntities()}) {
    for (int i = 0; i < list->GetSize(); ++i) {
      const Entity& entity = list->GetAt(i);
      if (const NamedEntity* named = entity.AsNamed()) {
        FUZZ_CHECK(named->IsNamed(named->GetName()));
      }
      if (dynamic_cast<const UnreadableTail*>(&entity) == nullptr) {
        const std::unique_ptr<Entity> fresh = CreateEntity(entity.Bytes());
        FUZZ_CHECK(fresh && fresh->NestedReferenceNames() == entity.NestedReferenceNames());
      }
    }
  }
}

void CheckUseCounts(const DrawingFile& drawing, std::span<const std::uint8_t> file) {
  std::map<std::string, int> references;
  std::map<std::string, int> lastDefinition;
  int definitions = 0;
  for (const Piece& piece : SplitBody(file)) {
    if (piece.tail) {
      continue;
    }
    if (TypeOf(piece) == kTypeSymbolRef) {
      ++references[PieceName(piece, kRefNameOffset)];
    } else if (TypeOf(piece) == kTypeSymbolDef) {
      lastDefinition[PieceName(piece, kDefNameOffset)] = definitions++;
    }
  }
  FUZZ_CHECK(drawing.SymbolDefs().GetSize() == definitions);
  for (int i = 0; i < definitions; ++i) {
    const Entity& definition = drawing.SymbolDefs().GetAt(i);
    const std::string name = NameOf(definition);
    const bool last = lastDefinition[name] == i;
    FUZZ_CHECK(definition.useCount == (last ? references[name] : 0));
  }
}

void CheckReloadIsStable(const Bytes& written) {
  DrawingFile again("");
  FUZZ_CHECK(again.LoadFromMemory(written) == LoadResult::Loaded);
  CheckLists(again);
  FUZZ_CHECK(WriteToMemory(again) == written);
}

}  // namespace runebin::fuzz
