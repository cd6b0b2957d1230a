#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <memory_resource>
#include <new>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/LargeMemory.h"

namespace runebin {

class OutputFile;
class NamedEntity;

// One top-level record of a drawing's body, or for a group leader (types 17, 18, 28) the record
// with its whole group, written back unchanged; only renaming edits the bytes, in place. A loaded
// document also joins consecutive records that nothing ever changes into one entity (see
// CreateFramedInPlace).
//
// An entity of a loaded document refers to its bytes in the document's buffer (see
// CreateFramedInPlace), or for a symbols-only load to a digest of its group in the document's
// arena; renaming writes into those bytes. Every other entity, and one whose bytes
// are replaced (Parse, Assign), owns a copy of its own.
//
// This base class also stands for every record type the program does not tell apart.
class Entity {
 public:
  Entity() = default;
  virtual ~Entity();
  // Destroys an entity made by new, or one made in a document's arena, whose memory goes back
  // with the arena.
  static void* operator new(std::size_t size);
  void operator delete(Entity* entity, std::destroying_delete_t);
  Entity(const Entity&) = delete;
  Entity& operator=(const Entity&) = delete;

  // Takes a copy of the record at the start of `available` (which may hold more bytes behind it).
  // A plain record takes its own length; group leaders take their group too. Returns 0, or -1
  // when the record is malformed or does not lie wholly inside `available`: then the entity holds
  // nothing.
  virtual int Parse(std::span<const std::uint8_t> available);
  // Writes the bytes to `file`. Returns true when the write succeeded.
  virtual bool Write(OutputFile& file) const;
  // Extents of a symbol definition; every other entity reports four zeros. Always returns 0.
  virtual int GetExtents(float& lowX, float& lowY, float& highX, float& highY) const;
  // The record's type byte, 0..255 (0 for an entity that holds fewer than 5 bytes).
  virtual int GetType() const;
  // Takes over a copy of `other`'s bytes and its use count. The class does not change.
  virtual Entity& Assign(const Entity& other);

  // The named-entity interface of definitions and references, or null for other entities.
  virtual NamedEntity* AsNamed() { return nullptr; }
  virtual const NamedEntity* AsNamed() const { return nullptr; }

  // Names carried by the symbol references (type 29) nested inside this entity's group, in the
  // order they occur. Empty for entities without a group.
  std::vector<std::string> NestedReferenceNames() const;
  // Renames, in place, every nested symbol reference named exactly `oldName`; returns how many.
  int RenameNestedReferences(std::string_view oldName, std::string_view newName);

  std::span<const std::uint8_t> Bytes() const { return {data_, length_}; }
  std::size_t Length() const { return length_; }
  // Whether a rename has written into the entity's bytes.
  bool EditedInPlace() const { return editedInPlace_; }
  // For a load that has seen the whole group pass: no reference lies in it, so
  // NestedReferenceNames and RenameNestedReferences need not walk it again (in a big drawing,
  // tens of megabytes of definitions). Forgotten when the bytes are replaced.
  void KnowsNoNestedReference() { noNestedReference_ = true; }
  // For a save begun ahead: the bytes were written where the save will put them (see
  // platform::SafeFileWriter::PlaceAhead), so that it may pass over them. Forgotten when the bytes
  // are written into or replaced.
  void MarkPlacedAhead() { placedAhead_ = true; }
  bool PlacedAhead() const { return placedAhead_; }
  // For an entity that refers to bytes someone else keeps (see CreateFramedOver): takes a copy of
  // them into a block of its own, keeping what is known of them, except that they were placed
  // ahead (the copy is elsewhere). Returns false, changing nothing, when memory runs out.
  bool KeepOwnCopy();

 protected:
  // The bytes of the leading record alone (its own length field), never those of its group.
  std::span<std::uint8_t> RecordBytes();
  std::span<const std::uint8_t> RecordBytes() const;
  // Copies `bytes` into a block of its own; returns false (holding nothing) when memory runs out.
  bool TakeCopy(std::span<const std::uint8_t> bytes);
  // The part of the data after the leading record; empty unless this entity has a group.
  virtual std::span<std::uint8_t> GroupBody() { return {}; }
  // Group copy shared by the group leaders: checks the type byte, then takes the record with its
  // group. Returns -1 (holding nothing) for another type or a group that is not closed.
  int ParseGroup(std::span<const std::uint8_t> available, int type);
  std::span<std::uint8_t> BytesAfterRecord();
  void MarkEdited() {
    editedInPlace_ = true;
    placedAhead_ = false;
  }
  // A hint that NamedEntity keeps about its name, in the room this class has spare.
  std::uint8_t nameTag_ = 0;

 private:
  friend std::unique_ptr<Entity> CreateFramedEntity(platform::ByteBuffer bytes);
  friend std::unique_ptr<Entity> CreateFramedOver(std::span<std::uint8_t> bytes);
  friend std::unique_ptr<Entity> CreateTailInPlace(std::span<std::uint8_t> rest,
                                                   std::pmr::memory_resource& arena);
  friend std::unique_ptr<Entity> CreateFramedInPlace(std::span<std::uint8_t> records, int type,
                                                     std::pmr::memory_resource& arena);
  void Drop();

  // With useCount, the flags and the name tag, an entity takes 32 bytes: a big drawing has
  // millions.
  std::uint8_t* data_ = nullptr;
  std::size_t length_ = 0;

 public:
  // Symbol definitions only: how many top-level references name this definition, as counted
  // when the file was loaded (or carried along by a copy).
  std::int32_t useCount = 0;

 private:
  bool ownsBytes_ : 1 = false;  // data_ came from platform::AllocateBytes(length_)
  bool inArena_ : 1 = false;    // this object's memory belongs to an arena
  bool editedInPlace_ : 1 = false;
  bool noNestedReference_ : 1 = false;
  bool placedAhead_ : 1 = false;
};

// A type-0 record; its subtype is byte 5.
class TypeZeroEntity final : public Entity {};

// A record of type 17 or 18 with the group that follows it.
class GroupEntity final : public Entity {
 public:
  explicit GroupEntity(int type) : type_(type) {}
  int Parse(std::span<const std::uint8_t> available) override;

 protected:
  std::span<std::uint8_t> GroupBody() override;

 private:
  int type_;
};

// Takes the rest of a body that cannot be read as records (a length below 5, a record or group
// that runs past the end of the file, a group that is never closed). It is carried byte for byte
// so that nothing of the file is lost, and kept last when the file is written, where it was.
class UnreadableTail final : public Entity {
 public:
  int Parse(std::span<const std::uint8_t> available) override;
};

// Builds the entity for the top-level record at the start of `available` (the bytes from that
// record to the end of the data), choosing its class by the type byte. The caller owns the
// result and learns how many bytes it took from Length(); 0 means the record was malformed.
std::unique_ptr<Entity> CreateEntity(std::span<const std::uint8_t> available);

// The same for records built in memory: when the record (with its group, for a group leader)
// fills `bytes` exactly, the entity takes the block over instead of copying it, so a large record
// never exists twice. Otherwise it copies what it takes, as above.
std::unique_ptr<Entity> CreateEntity(platform::ByteBuffer bytes);
// The same for bytes whose builder has checked, as it built them, that they hold exactly one
// top-level record (with its group), TopLevelExtent(bytes) == bytes.size(): the entity takes the
// block over without going through the records again.
std::unique_ptr<Entity> CreateFramedEntity(platform::ByteBuffer bytes);
// The same for framed bytes that the caller keeps, alive and unchanged by anyone else, for as long
// as the entity refers to them: the entity refers to them where they are (a symbol an import wrote
// straight into a new file, read through a view of that file) until KeepOwnCopy.
std::unique_ptr<Entity> CreateFramedOver(std::span<std::uint8_t> bytes);

// For a document that keeps its bytes, entities made in `arena` that refer to their bytes where
// they are. The bytes and the arena must outlive the entities; both throw std::bad_alloc when the
// arena cannot grow.
//
// An UnreadableTail of all of `rest`, the unreadable rest of a body.
std::unique_ptr<Entity> CreateTailInPlace(std::span<std::uint8_t> rest,
                                          std::pmr::memory_resource& arena);
// The entity for `records`, which the caller has framed (they are not read here: a load reads
// the file through a window of its own): the extent of one top-level record whose first record
// has type `type`, or a run of whole consecutive records that are all of type 0 or all of types
// that no command changes (see IsPassiveRecord), which then only ever go back to the file as they
// are, one after another - so one entity stands for millions of them in a big drawing.
std::unique_ptr<Entity> CreateFramedInPlace(std::span<std::uint8_t> records, int type,
                                            std::pmr::memory_resource& arena);

}  // namespace runebin
