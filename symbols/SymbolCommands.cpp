#include "symbols/SymbolCommands.h"

#include <algorithm>
#include <memory>
#include <numeric>
#include <optional>
#include <stdexcept>
#include <unordered_map>

#include "model/Format.h"
#include "model/NamedEntity.h"
#include "symbols/SortByName.h"

namespace runebin {

std::string NameOf(const Entity& entity) {
  const NamedEntity* named = entity.AsNamed();
  return named != nullptr ? named->GetName() : std::string();
}

SymbolSize MeasureSymbol(const Entity& definition) {
  float lowX = 0, lowY = 0, highX = 0, highY = 0;
  definition.GetExtents(lowX, lowY, highX, highY);
  // Single precision, as the extents are stored.
  return {highX - lowX, highY - lowY};
}

void MoveSymbolUp(DrawingFile& file, int index) {
  file.SwapSymbols(index - 1, index);
}

void MoveSymbolDown(DrawingFile& file, int index) {
  file.SwapSymbols(index, index + 1);
}

void MoveSymbolTo(DrawingFile& file, int index, int to) {
  const int size = file.SymbolDefs().GetSize();
  if (index < 0 || index >= size || to < 0 || to >= size) {
    throw std::invalid_argument("no such place");
  }
  if (index == to) {
    return;
  }
  std::vector<int> order(static_cast<std::size_t>(size));
  std::iota(order.begin(), order.end(), 0);
  const auto from = order.begin() + index, place = order.begin() + to;
  // The moved definition's index travels to `to`; those it passes shift by one toward its old
  // place.
  if (index < to) {
    std::rotate(from, from + 1, place + 1);
  } else {
    std::rotate(place, from, from + 1);
  }
  file.ReorderSymbols(order);
}

bool SortSymbols(DrawingFile& file) {
  const std::optional<std::vector<int>> order = SortedOrder(file.SymbolDefs());
  if (!order) {
    return false;
  }
  file.ReorderSymbols(*order);
  return true;
}

int RenameSymbol(DrawingFile& file, int index, std::string_view newName) {
  // The references are matched by the name the definition had; they place only its last one.
  const bool placed = file.SymbolDefs().FindByName(NameOf(file.SymbolDefs().GetAt(index))) == index;
  const std::string oldName = file.SetSymbolName(index, newName);
  return placed ? file.RenameReferences(oldName, newName) : 0;
}

int AppendSymbolCopy(const Entity& source, DrawingFile& target) {
  auto copy = std::make_unique<SymbolDef>();
  copy->Assign(source);
  return target.AddSymbol(std::move(copy));
}

void ReplaceSymbolWithCopy(const Entity& source, DrawingFile& target, int index) {
  target.AssignSymbol(index, source);
}

std::string DeleteSymbol(DrawingFile& file, int index) {
  std::string name = NameOf(file.SymbolDefs().GetAt(index));
  file.RemoveSymbol(index);
  return name;
}

std::vector<bool> SymbolsInUse(const DrawingFile& file) {
  const EntityList& definitions = file.SymbolDefs();
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
  for (int i = 0; i < file.OtherEntities().GetSize(); ++i) {
    const Entity& entity = file.OtherEntities().GetAt(i);
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
  return file.KeepSymbols(SymbolsInUse(file));
}

}  // namespace runebin
