#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "model/Entity.h"
#include "platform/LargeMemory.h"

namespace runebin {

class OutputFile;

// An ordered, growable list that owns its entities. Every access by index is checked: an index
// outside 0..size-1 throws std::invalid_argument before anything changes.
class EntityList {
 public:
  int GetSize() const { return static_cast<int>(entries_.size()); }
  Entity& GetAt(int index) const;
  // Puts `entity` at `index` and hands back the entity that was there (not destroyed).
  std::unique_ptr<Entity> SetAt(int index, std::unique_ptr<Entity> entity);
  // Exchanges two entries, as the ordering commands do.
  void Swap(int first, int second);
  // Makes room for `count` entries, so that adding that many moves nothing; a hint only: when
  // the room cannot be had, the list grows as it goes.
  void Reserve(std::size_t count) noexcept;
  // Appends `entity`, which the list now owns; returns its index.
  int Add(std::unique_ptr<Entity> entity);
  // Takes `count` entries out from `index` on and hands them back; later entries move down.
  std::vector<std::unique_ptr<Entity>> RemoveAt(int index, int count = 1);
  // Destroys every entity, last to first, and gives back the room; returns how many.
  int DeleteAll();
  // Writes every entity, first to last; returns how many writes succeeded.
  int WriteAll(OutputFile& file) const;
  // Index of the last entry whose name equals `name` byte for byte, or -1. Entries without a
  // name never match.
  int FindByName(std::string_view name) const;

 private:
  void CheckIndex(int index) const;

  // Millions of entries for a big drawing: their memory comes in huge pages.
  std::vector<std::unique_ptr<Entity>, platform::LargeAllocator<std::unique_ptr<Entity>>> entries_;
};

}  // namespace runebin
