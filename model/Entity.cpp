#include "model/Entity.h"

#include <cstring>
#include <new>

#include "model/ByteOrder.h"
#include "model/Format.h"
#include "model/NamedEntity.h"
#include "platform/OutputFile.h"

namespace runebin {
namespace {

// Calls `visit` with the bytes of every record in `body`, front to back, by their framing. The
// body of a parsed group is well formed; the length checks still stop at anything that is not.
template <typename Bytes, typename Visit>
void ForEachRecord(Bytes body, Visit visit) {
  std::size_t offset = 0;
  while (offset < body.size()) {
    const std::size_t length = RecordLength(body.subspan(offset));
    if (length == 0) {
      return;
    }
    visit(body.subspan(offset, length));
    offset += length;
  }
}

}  // namespace

int Entity::Parse(std::span<const std::uint8_t> available) {
  TakeCopy({});
  const std::size_t length = RecordLength(available);
  if (length == 0) {
    return -1;
  }
  return TakeCopy(available.first(length)) ? 0 : -1;
}

bool Entity::Write(OutputFile& file) const {
  return file.Write(data_.get(), length_);
}

int Entity::GetExtents(float& lowX, float& lowY, float& highX, float& highY) const {
  lowX = lowY = highX = highY = 0.0F;
  return 0;
}

int Entity::GetType() const {
  return length_ > kTypeOffset ? data_[kTypeOffset] : 0;
}

Entity& Entity::Assign(const Entity& other) {
  if (&other != this) {
    useCount = other.useCount;
    TakeCopy(other.Bytes());
  }
  return *this;
}

std::vector<std::string> Entity::NestedReferenceNames() const {
  std::vector<std::string> names;
  // GroupBody is only non-const so that renaming can share it; reading changes nothing.
  ForEachRecord(const_cast<Entity*>(this)->GroupBody(), [&](std::span<std::uint8_t> record) {
    if (record[kTypeOffset] == kTypeSymbolRef) {
      names.push_back(ReadNameField(record, kRefNameOffset));
    }
  });
  return names;
}

int Entity::RenameNestedReferences(std::string_view oldName, std::string_view newName) {
  int count = 0;
  ForEachRecord(GroupBody(), [&](std::span<std::uint8_t> record) {
    if (record[kTypeOffset] == kTypeSymbolRef && ReadNameField(record, kRefNameOffset) == oldName) {
      WriteNameField(record, kRefNameOffset, newName);
      ++count;
    }
  });
  return count;
}

std::span<std::uint8_t> Entity::RecordBytes() {
  std::size_t size = length_;
  const auto field = ReadI32(Bytes(), kLengthOffset);
  if (field && *field >= 0 && static_cast<std::size_t>(*field) < size) {
    size = static_cast<std::size_t>(*field);
  }
  return {data_.get(), size};
}

std::span<const std::uint8_t> Entity::RecordBytes() const {
  return const_cast<Entity*>(this)->RecordBytes();
}

bool Entity::TakeCopy(std::span<const std::uint8_t> bytes) {
  data_.reset();
  length_ = 0;
  if (bytes.empty()) {
    return true;
  }
  data_.reset(new (std::nothrow) std::uint8_t[bytes.size()]);
  if (!data_) {
    return false;
  }
  std::memcpy(data_.get(), bytes.data(), bytes.size());
  length_ = bytes.size();
  return true;
}

int Entity::ParseGroup(std::span<const std::uint8_t> available, int type) {
  TakeCopy({});
  if (available.size() <= kTypeOffset || available[kTypeOffset] != type) {
    return -1;
  }
  const std::size_t length = ScanGroupLength(available);
  if (length == 0) {
    return -1;
  }
  // Out of memory leaves the entity empty; the loader notices from its length.
  TakeCopy(available.first(length));
  return 0;
}

std::span<std::uint8_t> Entity::BytesAfterRecord() {
  return std::span<std::uint8_t>(data_.get(), length_).subspan(RecordBytes().size());
}

int GroupEntity::Parse(std::span<const std::uint8_t> available) {
  return ParseGroup(available, type_);
}

std::span<std::uint8_t> GroupEntity::GroupBody() {
  return BytesAfterRecord();
}

int UnreadableTail::Parse(std::span<const std::uint8_t> available) {
  return TakeCopy(available) ? 0 : -1;
}

namespace {

// An empty entity of the class that the record type calls for.
std::unique_ptr<Entity> NewEntityFor(std::span<const std::uint8_t> available) {
  const int type = available.size() > kTypeOffset ? available[kTypeOffset] : -1;
  std::unique_ptr<Entity> entity;
  switch (type) {
    case kTypeZero:
      entity = std::make_unique<TypeZeroEntity>();
      break;
    case kTypeGroup17:
    case kTypeGroup18:
      entity = std::make_unique<GroupEntity>(type);
      break;
    case kTypeSymbolDef:
      entity = std::make_unique<SymbolDef>();
      break;
    case kTypeSymbolRef:
      entity = std::make_unique<SymbolRef>();
      break;
    default:
      entity = std::make_unique<Entity>();
      break;
  }
  return entity;
}

}  // namespace

std::unique_ptr<Entity> CreateEntity(std::span<const std::uint8_t> available) {
  std::unique_ptr<Entity> entity = NewEntityFor(available);
  entity->Parse(available);
  return entity;
}

std::unique_ptr<Entity> CreateEntity(std::unique_ptr<std::uint8_t[]> bytes, std::size_t size) {
  const std::span<const std::uint8_t> available(bytes.get(), size);
  // TopLevelExtent is the length that Parse takes for every class, and 0 where Parse fails.
  if (size == 0 || TopLevelExtent(available) != size) {
    return CreateEntity(available);
  }
  std::unique_ptr<Entity> entity = NewEntityFor(available);
  entity->data_ = std::move(bytes);
  entity->length_ = size;
  return entity;
}

}  // namespace runebin
