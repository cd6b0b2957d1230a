#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "model/Format.h"
#include "platform/LargeMemory.h"

namespace runebin {

class Entity;

// Use counts, gathered while a load reads the body: a reference counts for the last definition of
// its name, as FindByName would find it. Each name is taken while its bytes are at hand.
//
// Half a million references among tens of thousands of names while the walk streams the file
// through the caches: the table is a small open-addressing array of hash and index (8 bytes a
// slot), so a lookup touches one slot and, on a match, one tally. Even so both are mostly out of
// the cache, so a reference is looked up some steps after it comes in: its slot and then its tally
// are fetched from memory while the walk goes on, rather than one after the other while it waits.
class UseCounter {
 public:
  // `bodySize` is that of the body the counts come from: a big one gets room for tens of thousands
  // of names at once, in memory taken whole (see platform::LargeMemory), so that the tables are
  // neither moved nor faulted in page by page as they fill.
  explicit UseCounter(std::size_t bodySize);
  // `hash` is NameHash(name).
  void Definition(Entity& definition, std::string_view name, std::uint32_t hash);
  void Reference(std::string_view name, std::uint32_t hash);
  // Sets the use count of every definition that is the last of its name.
  void Apply();

 private:
  struct Tally {
    char name[kNameFieldSize];
    std::uint8_t length = 0;
    std::int32_t references = 0;
    Entity* lastDefinition = nullptr;
    std::string_view Name() const { return {name, length}; }
  };
  // A reference on its way to its tally.
  struct Pending {
    char name[kNameFieldSize];
    std::uint8_t length = 0;
    std::uint32_t hash = 0;
    std::string_view Name() const { return {name, length}; }
  };
  static constexpr std::uint64_t kEmpty = 0;
  // How many references are on their way; the slot is fetched when one comes in, its tally half
  // way.
  static constexpr std::size_t kPending = 16;

  Tally& Find(std::string_view name, std::uint32_t hash);
  void Grow();
  void Count(const Pending& reference) { ++Find(reference.Name(), reference.hash).references; }

  // hash << 32 | index into tallies_ + 1, or kEmpty
  std::vector<std::uint64_t, platform::LargeAllocator<std::uint64_t>> slots_;
  std::vector<Tally, platform::LargeAllocator<Tally>> tallies_;
  std::array<Pending, kPending> pending_;
  std::size_t references_ = 0;  // how many came in; the last kPending of them are pending
};

}  // namespace runebin
