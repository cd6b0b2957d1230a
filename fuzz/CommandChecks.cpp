#include "fuzz/CommandChecks.h"

#include <algorithm>
#include <array>
#include <map>
#include <stdexcept>
#include <vector>

#include "model/ByteOrder.h"
#include "model/Format.h"
#include "model/NamedEntity.h"
#include "symbols/SymbolCommands.h"

namespace runebin::fuzz {
namespace {

int TopLevelReferences(const DrawingFile& drawing, const std::string& name) {
  int count = 0;
  for (int i = 0; i < drawing.OtherEntities().GetSize(); ++i) {
    const Entity& entity = drawing.OtherEntities().GetAt(i);
    if (entity.GetType() == kTypeSymbolRef && entity.AsNamed() != nullptr &&
        NameOf(entity) == name) {
      ++count;
    }
  }
  return count;
}

// References that a rename of `name` reaches: top-level ones and those nested in any group.
int ReachableReferences(const DrawingFile& drawing, const std::string& name) {
  int count = TopLevelReferences(drawing, name);
  for (const EntityList* list :
       {&drawing.TypeZeroEntities(), &drawing.SymbolDefs(), &drawing.OtherEntities()}) {
    for (int i = 0; i < list->GetSize(); ++i) {
      const auto nested = list->GetAt(i).NestedReferenceNames();
      count += static_cast<int>(std::count(nested.begin(), nested.end(), name));
    }
  }
  return count;
}

// A command given an index outside the list must throw std::invalid_argument and change nothing.
template <typename Command>
bool RefusedUnchanged(DrawingFile& drawing, Command command) {
  const Bytes before = WriteToMemory(drawing);
  const bool modified = drawing.IsModified();
  try {
    command();
  } catch (const std::invalid_argument&) {
    FUZZ_CHECK(WriteToMemory(drawing) == before);
    FUZZ_CHECK(drawing.IsModified() == modified);
    return true;
  }
  return false;
}

}  // namespace

bool SameByteCounts(const Bytes& a, const Bytes& b) {
  std::array<std::size_t, 256> counts{};
  for (std::uint8_t byte : a) {
    ++counts[byte];
  }
  for (std::uint8_t byte : b) {
    if (counts[byte]-- == 0) {
      return false;
    }
  }
  return a.size() == b.size();
}

std::size_t TotalLength(const DrawingFile& drawing) {
  std::size_t total = drawing.Header().size();
  for (const EntityList* list :
       {&drawing.TypeZeroEntities(), &drawing.SymbolDefs(), &drawing.OtherEntities()}) {
    for (int i = 0; i < list->GetSize(); ++i) {
      total += list->GetAt(i).Length();
    }
  }
  return total;
}

void CheckedSort(DrawingFile& drawing) {
  const bool modified = drawing.IsModified();
  const Bytes before = WriteToMemory(drawing);
  const bool changed = SortSymbols(drawing);
  const EntityList& defs = drawing.SymbolDefs();
  for (int i = 1; i < defs.GetSize(); ++i) {
    // Names compare as unsigned bytes; std::string's comparison does exactly that.
    FUZZ_CHECK(NameOf(defs.GetAt(i - 1)) <= NameOf(defs.GetAt(i)));
  }
  const Bytes after = WriteToMemory(drawing);
  FUZZ_CHECK(SameByteCounts(after, before));
  FUZZ_CHECK(drawing.IsModified() == (modified || changed));
  if (!changed) {
    FUZZ_CHECK(after == before);
  }
}

void CheckedMove(DrawingFile& drawing, Script& script, bool up) {
  const int index = script.Index(drawing.SymbolDefs().GetSize());
  const int other = up ? index - 1 : index + 1;
  if (other < 0 || other >= drawing.SymbolDefs().GetSize() ||
      index >= drawing.SymbolDefs().GetSize()) {
    FUZZ_CHECK(RefusedUnchanged(
        drawing, [&] { up ? MoveSymbolUp(drawing, index) : MoveSymbolDown(drawing, index); }));
    return;
  }
  const Entity* moving = &drawing.SymbolDefs().GetAt(index);
  const Entity* passed = &drawing.SymbolDefs().GetAt(other);
  up ? MoveSymbolUp(drawing, index) : MoveSymbolDown(drawing, index);
  FUZZ_CHECK(&drawing.SymbolDefs().GetAt(other) == moving);
  FUZZ_CHECK(&drawing.SymbolDefs().GetAt(index) == passed);
  FUZZ_CHECK(drawing.IsModified());
}

std::string NewName(DrawingFile& drawing, Script& script) {
  const std::uint8_t how = script.Next();
  if (how < 128 && drawing.SymbolDefs().GetSize() > 0) {
    // Another symbol's name: renames into a name that is already taken.
    return NameOf(drawing.SymbolDefs().GetAt(how % drawing.SymbolDefs().GetSize()));
  }
  std::string name;
  for (int length = how % 40; length > 0; --length) {
    name.push_back(static_cast<char>(script.Next() | 1));  // no zero inside a name
  }
  return name;
}

void CheckedRename(DrawingFile& drawing, Script& script) {
  const int index = script.Index(drawing.SymbolDefs().GetSize());
  const std::string newName = NewName(drawing, script);
  if (index == drawing.SymbolDefs().GetSize()) {
    FUZZ_CHECK(RefusedUnchanged(drawing, [&] { RenameSymbol(drawing, index, newName); }));
    return;
  }
  const std::string oldName = NameOf(drawing.SymbolDefs().GetAt(index));
  // References by name place the last definition of that name; only its rename carries them along.
  bool shadowed = false;
  for (int later = index + 1; later < drawing.SymbolDefs().GetSize(); ++later) {
    shadowed = shadowed || NameOf(drawing.SymbolDefs().GetAt(later)) == oldName;
  }
  const int reachable = shadowed ? 0 : ReachableReferences(drawing, oldName);
  const std::size_t total = TotalLength(drawing);
  const int renamed = RenameSymbol(drawing, index, newName);
  FUZZ_CHECK(renamed == reachable);
  FUZZ_CHECK(TotalLength(drawing) == total);
  FUZZ_CHECK(drawing.IsModified());
  const std::string now = NameOf(drawing.SymbolDefs().GetAt(index));
  // A record too short for the whole name field keeps only what fits.
  FUZZ_CHECK(now.size() <= kMaxNameLength);
  FUZZ_CHECK(newName.compare(0, now.size(), now) == 0);
  if (drawing.SymbolDefs().GetAt(index).Bytes().size() >= kDefNameOffset + kNameFieldSize &&
      ReadI32(drawing.SymbolDefs().GetAt(index).Bytes(), 0).value_or(0) >=
          static_cast<std::int32_t>(kDefNameOffset + kNameFieldSize)) {
    FUZZ_CHECK(now == newName.substr(0, kMaxNameLength));
  }
}

void CheckedDeleteWithReferences(DrawingFile& drawing, Script& script) {
  const int index = script.Index(drawing.SymbolDefs().GetSize());
  if (index == drawing.SymbolDefs().GetSize()) {
    FUZZ_CHECK(RefusedUnchanged(drawing, [&] { DeleteSymbol(drawing, index); }));
    return;
  }
  const int definitions = drawing.SymbolDefs().GetSize();
  const int others = drawing.OtherEntities().GetSize();
  const std::string expectedName = NameOf(drawing.SymbolDefs().GetAt(index));
  const int references = TopLevelReferences(drawing, expectedName);
  const std::string name = DeleteSymbol(drawing, index);
  FUZZ_CHECK(name == expectedName);
  FUZZ_CHECK(drawing.SymbolDefs().GetSize() == definitions - 1);
  FUZZ_CHECK(drawing.RemoveReferences(name) == references);
  FUZZ_CHECK(drawing.OtherEntities().GetSize() == others - references);
  FUZZ_CHECK(TopLevelReferences(drawing, name) == 0);
  FUZZ_CHECK(drawing.IsModified());
}

// Checks the result of deleting unused symbols without relying on how they were found: whatever
// still places a symbol (a kept definition, a group record) finds its last definition kept, and
// every deleted definition had no counted use.
void CheckedDeleteUnused(DrawingFile& drawing) {
  std::vector<const Entity*> before;
  std::vector<std::int32_t> useCounts;
  for (int i = 0; i < drawing.SymbolDefs().GetSize(); ++i) {
    before.push_back(&drawing.SymbolDefs().GetAt(i));
    useCounts.push_back(drawing.SymbolDefs().GetAt(i).useCount);
  }
  std::map<std::string, const Entity*> lastOfName;
  for (const Entity* definition : before) {
    lastOfName[NameOf(*definition)] = definition;
  }
  const std::vector<bool> inUse = SymbolsInUse(drawing);
  const bool modified = drawing.IsModified();
  const int deleted = DeleteUnusedSymbols(drawing);

  std::vector<const Entity*> kept;
  for (std::size_t i = 0; i < before.size(); ++i) {
    if (inUse[i]) {
      kept.push_back(before[i]);
    } else {
      FUZZ_CHECK(useCounts[i] == 0);  // the entity itself is gone
    }
  }
  FUZZ_CHECK(deleted == static_cast<int>(before.size() - kept.size()));
  FUZZ_CHECK(drawing.SymbolDefs().GetSize() == static_cast<int>(kept.size()));
  for (std::size_t i = 0; i < kept.size(); ++i) {
    FUZZ_CHECK(&drawing.SymbolDefs().GetAt(static_cast<int>(i)) == kept[i]);
  }
  auto placedAreKept = [&](const std::vector<std::string>& names) {
    for (const std::string& name : names) {
      const auto found = lastOfName.find(name);
      FUZZ_CHECK(found == lastOfName.end() ||
                 std::find(kept.begin(), kept.end(), found->second) != kept.end());
    }
  };
  for (const Entity* definition : kept) {
    placedAreKept(definition->NestedReferenceNames());
  }
  for (int i = 0; i < drawing.OtherEntities().GetSize(); ++i) {
    const Entity& entity = drawing.OtherEntities().GetAt(i);
    if (entity.GetType() == kTypeGroup17 || entity.GetType() == kTypeGroup18) {
      placedAreKept(entity.NestedReferenceNames());
    }
  }
  FUZZ_CHECK(drawing.IsModified() == (modified || deleted > 0));
}

void CheckedCopy(DrawingFile& from, DrawingFile& to, Script& script) {
  const int index = script.Index(from.SymbolDefs().GetSize());
  if (index == from.SymbolDefs().GetSize()) {
    FUZZ_CHECK(RefusedUnchanged(from, [&] { from.SymbolDefs().GetAt(index); }));
    return;
  }
  const Entity& source = from.SymbolDefs().GetAt(index);
  const Bytes bytes(source.Bytes().begin(), source.Bytes().end());
  const int existing = to.SymbolDefs().FindByName(NameOf(source));
  int place = 0;
  if (existing >= 0 && script.Next() % 2 == 0) {
    ReplaceSymbolWithCopy(source, to, existing);
    place = existing;
  } else {
    const int size = to.SymbolDefs().GetSize();
    place = AppendSymbolCopy(source, to);
    FUZZ_CHECK(place == size);
  }
  const Entity& copy = to.SymbolDefs().GetAt(place);
  FUZZ_CHECK(dynamic_cast<const SymbolDef*>(&copy) != nullptr);
  FUZZ_CHECK(Bytes(copy.Bytes().begin(), copy.Bytes().end()) == bytes);
  FUZZ_CHECK(copy.useCount == source.useCount);
  FUZZ_CHECK(to.IsModified());
}

}  // namespace runebin::fuzz
