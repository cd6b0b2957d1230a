#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "model/Entity.h"
#include "model/Format.h"

namespace runebin {

// The hash by which a load tells names apart quickly: in the use counts' table and in the
// entities' name tags.
inline std::uint32_t NameHash(std::string_view name) {
  return static_cast<std::uint32_t>(std::hash<std::string_view>()(name));
}

// A record that carries a symbol name in a 32-byte field: at most 31 bytes and a zero.
//
// The field is always limited to the record's own bytes: a record too short to hold the whole
// field reads and writes only the part it has, and never the records of its group.
class NamedEntity : public Entity {
 public:
  NamedEntity* AsNamed() override { return this; }
  const NamedEntity* AsNamed() const override { return this; }

  // The bytes of the name field up to the first zero (all of them if there is none).
  std::string GetName() const;
  // The same, read where it lies: valid until the entity changes or goes.
  std::string_view NameView() const;
  // Whether the name is `name`. A load that has the name at hand tells it with KnowsName, so
  // that a search among hundreds of thousands of entities reads the bytes of few of them: a tag
  // of the name's hash rules out all but about one in 255 other names.
  bool IsNamed(std::string_view name) const {
    return (nameTag_ == 0 || nameTag_ == TagOf(NameHash(name))) && NameView() == name;
  }
  // `nameHash` is NameHash of the name the entity has.
  void KnowsName(std::uint32_t nameHash) { nameTag_ = TagOf(nameHash); }
  // Writes `newName` (cut to 31 bytes) and a zero at the start of the field; the bytes behind the
  // zero keep their contents and the record keeps its length. Returns the previous name.
  std::string SetName(std::string_view newName);

 protected:
  virtual std::size_t NameOffset() const = 0;

 private:
  // 1..255; 0 stands for "not known".
  static std::uint8_t TagOf(std::uint32_t nameHash) {
    return static_cast<std::uint8_t>(nameHash % 255 + 1);
  }
};

// A symbol definition (type 28) with its group.
class SymbolDef final : public NamedEntity {
 public:
  int Parse(std::span<const std::uint8_t> available) override;
  int GetExtents(float& lowX, float& lowY, float& highX, float& highY) const override;

 protected:
  std::size_t NameOffset() const override { return kDefNameOffset; }
  std::span<std::uint8_t> GroupBody() override;
};

// A symbol reference (type 29): places a symbol by name.
class SymbolRef final : public NamedEntity {
 protected:
  std::size_t NameOffset() const override { return kRefNameOffset; }
};

// The name field inside one record's bytes, clipped to the record. Shared by the entities and by
// the walk that renames references nested in groups.
std::string ReadNameField(std::span<const std::uint8_t> record, std::size_t offset);
std::string_view NameFieldView(std::span<const std::uint8_t> record, std::size_t offset);
void WriteNameField(std::span<std::uint8_t> record, std::size_t offset, std::string_view name);

}  // namespace runebin
