#include "symbols/SymbolCommands.h"

#include <memory>
#include <unordered_map>

#include "model/Format.h"
#include "model/NamedEntity.h"
#include "symbols/SortByName.h"

namespace runebin {

std::string NameOf(const Entity& entity) {
  const NamedEntity* named = entity.AsNamed();
  return named != nullptr ? named->GetName() : std::string();
}

void MoveSymbolUp(DrawingFile& file, int index) {
  file.symbolDefs.Swap(index - 1, index);
  file.SetModified(true);
}

void MoveSymbolDown(DrawingFile& file, int index) {
  file.symbolDefs.Swap(index, index + 1);
  file.SetModified(true);
}

bool SortSymbols(DrawingFile& file) {
  if (!SortByName(file.symbolDefs)) {
    return false;
  }
  file.SetModified(true);
  return true;
}

int RenameSymbol(DrawingFile& file, int index, std::string_view newName) {
  NamedEntity* definition = file.symbolDefs.GetAt(index).AsNamed();
  if (definition == nullptr) {
    return 0;  // symbolDefs holds only definitions; nothing to rename otherwise
  }
  // The references are matched by the name the definition had; SetName hands it back.
  const std::string oldName = definition->SetName(newName);
  file.SetModified(true);
  return file.RenameReferences(oldName, newName);
}

int AppendSymbolCopy(const Entity& source, DrawingFile& target) {
  auto copy = std::make_unique<SymbolDef>();
  copy->Assign(source);
  const int index = target.symbolDefs.Add(std::move(copy));
  target.SetModified(true);
  return index;
}

void ReplaceSymbolWithCopy(const Entity& source, DrawingFile& target, int index) {
  target.symbolDefs.GetAt(index).Assign(source);
  target.SetModified(true);
}

std::string DeleteSymbol(DrawingFile& file, int index) {
  std::string name = NameOf(file.symbolDefs.GetAt(index));
  file.symbolDefs.RemoveAt(index);  // the removed definition is destroyed here
  file.SetModified(true);
  return name;
}

std::vector<bool> SymbolsInUse(const DrawingFile& file) {
  const EntityList& definitions = file.symbolDefs;
  const auto size = static_cast<std::size_t>(definitions.GetSize());
  // A name leads to its last definition, as FindByName finds it.
  std::unordered_map<std::string, int> lastDefinition;
  lastDefinition.reserve(size);
  for (int i = 0; i < definitions.GetSize(); ++i) {
    lastDefinition[NameOf(definitions.GetAt(i))] = i;
  }

  std::vector<bool> kept(size, false);
  std::vector<int> toVisit;  // kept definitions whose nested references are not yet followed
  auto keep = [&](int index) {
    if (!kept[static_cast<std::size_t>(index)]) {
      kept[static_cast<std::size_t>(index)] = true;
      toVisit.push_back(index);
    }
  };
  auto keepNamed = [&](const std::vector<std::string>& names) {
    for (const std::string& name : names) {
      if (const auto found = lastDefinition.find(name); found != lastDefinition.end()) {
        keep(found->second);
      }
    }
  };

  for (int i = 0; i < definitions.GetSize(); ++i) {
    if (definitions.GetAt(i).useCount > 0) {
      keep(i);
    }
  }
  for (int i = 0; i < file.otherEntities.GetSize(); ++i) {
    const Entity& entity = file.otherEntities.GetAt(i);
    if (entity.GetType() == kTypeGroup17 || entity.GetType() == kTypeGroup18) {
      keepNamed(entity.NestedReferenceNames());
    }
  }
  // Each definition is visited at most once, so this ends even for definitions that place each
  // other.
  while (!toVisit.empty()) {
    const int index = toVisit.back();
    toVisit.pop_back();
    keepNamed(definitions.GetAt(index).NestedReferenceNames());
  }
  return kept;
}

int DeleteUnusedSymbols(DrawingFile& file) {
  const std::vector<bool> kept = SymbolsInUse(file);
  const int size = file.symbolDefs.GetSize();
  if (size == 0) {
    return 0;
  }
  std::vector<std::unique_ptr<Entity>> entries = file.symbolDefs.RemoveAt(0, size);
  int deleted = 0;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (kept[i]) {
      file.symbolDefs.Add(std::move(entries[i]));
    } else {
      ++deleted;
    }
  }
  if (deleted > 0) {
    file.SetModified(true);
  }
  return deleted;
}

}  // namespace runebin
