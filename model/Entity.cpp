#include "model/Entity.h"

#include <cassert>
#include <cstring>
#include <new>
#include <utility>

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

Entity::~Entity() {
  Drop();
}

void* Entity::operator new(std::size_t size) {
  return ::operator new(size);
}

void Entity::operator delete(Entity* entity, std::destroying_delete_t) {
  const bool inArena = entity->inArena_;
  entity->~Entity();
  if (!inArena) {
    ::operator delete(entity);
  }
}

bool Entity::Write(OutputFile& file) const {
  return file.Write(data_, length_);
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
  if (noNestedReference_) {
    return names;
  }
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
  if (noNestedReference_) {
    return count;
  }
  ForEachRecord(GroupBody(), [&](std::span<std::uint8_t> record) {
    if (record[kTypeOffset] == kTypeSymbolRef && ReadNameField(record, kRefNameOffset) == oldName) {
      WriteNameField(record, kRefNameOffset, newName);
      MarkEdited();
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
  return {data_, size};
}

std::span<const std::uint8_t> Entity::RecordBytes() const {
  return const_cast<Entity*>(this)->RecordBytes();
}

void Entity::Drop() {
  if (ownsBytes_) {
    platform::FreeBytes(data_, length_);
  }
  data_ = nullptr;
  length_ = 0;
  ownsBytes_ = false;
  // What was known of the old bytes says nothing of new ones.
  noNestedReference_ = false;
  nameTag_ = 0;
  placedAhead_ = false;
}

bool Entity::KeepOwnCopy() {
  if (ownsBytes_ || length_ == 0) {
    return true;
  }
  std::uint8_t* copy = platform::AllocateBytes(length_);
  if (copy == nullptr) {
    return false;
  }
  std::memcpy(copy, data_, length_);
  data_ = copy;
  ownsBytes_ = true;
  placedAhead_ = false;
  return true;
}

bool Entity::TakeCopy(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) {
    Drop();
    return true;
  }
  // Copied before the old bytes go: `bytes` may lie inside them.
  std::uint8_t* copy = platform::AllocateBytes(bytes.size());
  if (copy != nullptr) {
    std::memcpy(copy, bytes.data(), bytes.size());
  }
  Drop();
  if (copy == nullptr) {
    return false;
  }
  data_ = copy;
  length_ = bytes.size();
  ownsBytes_ = true;
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
  return std::span<std::uint8_t>(data_, length_).subspan(RecordBytes().size());
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

// An empty entity of the class that the record type calls for, made by `make` (which takes the
// class and the constructor's arguments).
template <typename Make>
std::unique_ptr<Entity> NewEntityOfType(int type, Make make) {
  switch (type) {
    case kTypeZero:
      return make.template operator()<TypeZeroEntity>();
    case kTypeGroup17:
    case kTypeGroup18:
      return make.template operator()<GroupEntity>(type);
    case kTypeSymbolDef:
      return make.template operator()<SymbolDef>();
    case kTypeSymbolRef:
      return make.template operator()<SymbolRef>();
    default:
      return make.template operator()<Entity>();
  }
}

template <typename Make>
std::unique_ptr<Entity> NewEntityFor(std::span<const std::uint8_t> available, Make make) {
  return NewEntityOfType(available.size() > kTypeOffset ? available[kTypeOffset] : -1, make);
}

const auto kOnHeap = []<typename Class>(auto... arguments) -> std::unique_ptr<Entity> {
  return std::make_unique<Class>(arguments...);
};

// Made in the arena. The caller marks it so before anything can destroy it, so that the
// destroying delete leaves the memory to the arena.
template <typename Class, typename... Arguments>
std::unique_ptr<Entity> MakeInArena(std::pmr::memory_resource& arena, Arguments... arguments) {
  void* memory = arena.allocate(sizeof(Class), alignof(Class));
  return std::unique_ptr<Entity>(::new (memory) Class(arguments...));
}

}  // namespace

std::unique_ptr<Entity> CreateEntity(std::span<const std::uint8_t> available) {
  std::unique_ptr<Entity> entity = NewEntityFor(available, kOnHeap);
  entity->Parse(available);
  return entity;
}

std::unique_ptr<Entity> CreateEntity(platform::ByteBuffer bytes) {
  const std::span<const std::uint8_t> available(bytes.data(), bytes.size());
  // TopLevelExtent is the length that Parse takes for every class, and 0 where Parse fails.
  if (bytes.size() == 0 || TopLevelExtent(available) != bytes.size()) {
    return CreateEntity(available);
  }
  return CreateFramedEntity(std::move(bytes));
}

std::unique_ptr<Entity> CreateFramedEntity(platform::ByteBuffer bytes) {
  const std::span<const std::uint8_t> available(bytes.data(), bytes.size());
  assert(bytes.size() > 0 && TopLevelExtent(available) == bytes.size());
  std::unique_ptr<Entity> entity = NewEntityFor(available, kOnHeap);
  entity->length_ = bytes.size();
  entity->data_ = bytes.Release();
  entity->ownsBytes_ = true;
  return entity;
}

std::unique_ptr<Entity> CreateFramedOver(std::span<std::uint8_t> bytes) {
  assert(bytes.size() > 0 && TopLevelExtent(bytes) == bytes.size());
  std::unique_ptr<Entity> entity = NewEntityFor(bytes, kOnHeap);
  entity->data_ = bytes.data();
  entity->length_ = bytes.size();
  return entity;
}

std::unique_ptr<Entity> CreateFramedInPlace(std::span<std::uint8_t> records, int type,
                                            std::pmr::memory_resource& arena) {
  std::unique_ptr<Entity> entity =
      NewEntityOfType(type, [&arena]<typename Class>(auto... arguments) {
        return MakeInArena<Class>(arena, arguments...);
      });
  entity->inArena_ = true;
  entity->data_ = records.data();
  entity->length_ = records.size();
  return entity;
}

std::unique_ptr<Entity> CreateTailInPlace(std::span<std::uint8_t> rest,
                                          std::pmr::memory_resource& arena) {
  std::unique_ptr<Entity> entity = MakeInArena<UnreadableTail>(arena);
  entity->inArena_ = true;
  entity->data_ = rest.data();
  entity->length_ = rest.size();
  return entity;
}

}  // namespace runebin
