#include "symbols/Analysis.h"

#include <algorithm>
#include <map>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

#include "model/ByteOrder.h"
#include "model/Format.h"
#include "symbols/SymbolCommands.h"

namespace runebin {
namespace {

bool IsTopLevelGroup(const Entity& entity) {
  return entity.GetType() == kTypeGroup17 || entity.GetType() == kTypeGroup18;
}

// Name -> index of its last definition: the one that references reach.
std::unordered_map<std::string, int> LastDefinitions(const DrawingFile& file) {
  std::unordered_map<std::string, int> last;
  for (int i = 0; i < file.SymbolDefs().GetSize(); ++i) {
    last[NameOf(file.SymbolDefs().GetAt(i))] = i;
  }
  return last;
}

Finding Make(FindingKind kind, int index = -1, std::string name = {}) {
  Finding finding;
  finding.kind = kind;
  finding.index = index;
  finding.name = std::move(name);
  return finding;
}

std::string Counted(std::uint64_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string Symbol(int index, const std::string& name) {
  return "symbol " + std::to_string(index) + " \"" + name + "\"";
}

void CheckTail(const DrawingFile& file, std::vector<Finding>& out) {
  const EntityList& others = file.OtherEntities();
  if (others.GetSize() == 0 ||
      dynamic_cast<const UnreadableTail*>(&others.GetAt(others.GetSize() - 1)) == nullptr) {
    return;
  }
  // The tail runs to the end of the file, and every other byte of the body is in some entity.
  std::uint64_t before = kHeaderSize;
  for (const EntityList* list : {&file.TypeZeroEntities(), &file.SymbolDefs(), &others}) {
    for (int i = 0; i < list->GetSize(); ++i) {
      before += list->GetAt(i).Length();
    }
  }
  Finding finding = Make(FindingKind::UnreadableTail);
  finding.offset = before - others.GetAt(others.GetSize() - 1).Length();
  out.push_back(finding);
}

void CheckDefinitions(const DrawingFile& file, std::vector<Finding>& out) {
  const auto last = LastDefinitions(file);
  for (int i = 0; i < file.SymbolDefs().GetSize(); ++i) {
    const Entity& definition = file.SymbolDefs().GetAt(i);
    const std::string name = NameOf(definition);
    const std::int32_t length = ReadI32(definition.Bytes(), kLengthOffset).value_or(0);
    if (length < static_cast<std::int32_t>(kDefRecordLength)) {
      Finding finding = Make(FindingKind::ShortRecord, i, name);
      finding.count = static_cast<std::uint64_t>(std::max(length, 0));
      out.push_back(finding);
    }
    float lowX = 0, lowY = 0, highX = 0, highY = 0;
    definition.GetExtents(lowX, lowY, highX, highY);
    if (lowX > highX || lowY > highY) {
      out.push_back(Make(FindingKind::InvertedExtents, i, name));
    }
    if (name.empty()) {
      out.push_back(Make(FindingKind::EmptyName, i));
    }
    if (const int reached = last.at(name); reached != i) {
      Finding finding = Make(FindingKind::DuplicateName, i, name);
      finding.other = reached;
      out.push_back(finding);
    }
  }
}

// References to names that nothing defines, grouped per placer and name, and the definitions that
// only other definitions place.
void CheckReferences(const DrawingFile& file, std::vector<Finding>& out) {
  const auto last = LastDefinitions(file);
  std::map<std::string, std::uint64_t> missingTop;
  std::unordered_set<std::string> placedFromGroups;
  for (int i = 0; i < file.OtherEntities().GetSize(); ++i) {
    const Entity& entity = file.OtherEntities().GetAt(i);
    if (entity.GetType() == kTypeSymbolRef) {
      if (const std::string name = NameOf(entity); !last.contains(name)) {
        ++missingTop[name];
      }
    }
  }
  for (const auto& [name, count] : missingTop) {
    Finding finding = Make(FindingKind::MissingSymbol, -1, name);
    finding.count = count;
    out.push_back(finding);
  }
  const auto missingInside = [&](int index, bool inGroup, const Entity& placer) {
    std::map<std::string, std::uint64_t> missing;
    for (const std::string& name : placer.NestedReferenceNames()) {
      if (inGroup) {
        placedFromGroups.insert(name);
      }
      if (!last.contains(name)) {
        ++missing[name];
      }
    }
    for (const auto& [name, count] : missing) {
      Finding finding = Make(FindingKind::MissingSymbol, index, name);
      finding.inGroup = inGroup;
      finding.placerName = inGroup ? std::string() : NameOf(placer);
      finding.count = count;
      out.push_back(finding);
    }
  };
  std::unordered_set<int> placedFromDefinitions;
  for (int i = 0; i < file.SymbolDefs().GetSize(); ++i) {
    missingInside(i, false, file.SymbolDefs().GetAt(i));
    for (const std::string& name : file.SymbolDefs().GetAt(i).NestedReferenceNames()) {
      if (const auto found = last.find(name); found != last.end() && found->second != i) {
        placedFromDefinitions.insert(found->second);
      }
    }
  }
  for (int i = 0; i < file.OtherEntities().GetSize(); ++i) {
    if (IsTopLevelGroup(file.OtherEntities().GetAt(i))) {
      missingInside(i, true, file.OtherEntities().GetAt(i));
    }
  }
  for (int i = 0; i < file.SymbolDefs().GetSize(); ++i) {
    const Entity& definition = file.SymbolDefs().GetAt(i);
    const std::string name = NameOf(definition);
    if (placedFromDefinitions.contains(i) && definition.useCount == 0 &&
        !placedFromGroups.contains(name)) {
      out.push_back(Make(FindingKind::PlacedOnlyNested, i, name));
    }
  }
}

}  // namespace

std::vector<Finding> CheckDrawing(const DrawingFile& file) {
  std::vector<Finding> findings;
  CheckTail(file, findings);
  CheckDefinitions(file, findings);
  CheckReferences(file, findings);
  return findings;
}

std::string DescribeFinding(const Finding& f) {
  switch (f.kind) {
    case FindingKind::MissingSymbol: {
      const std::string what = "\"" + f.name + "\", which no symbol defines";
      if (f.index < 0) {
        return Counted(f.count, "reference", "references") + " to " + what;
      }
      return (f.inGroup ? "group " + std::to_string(f.index) : Symbol(f.index, f.placerName)) +
             " places " + what;
    }
    case FindingKind::DuplicateName:
      return Symbol(f.index, f.name) + " shares its name with symbol " + std::to_string(f.other) +
             ", which references place";
    case FindingKind::EmptyName:
      return "symbol " + std::to_string(f.index) + " has an empty name";
    case FindingKind::PlacedOnlyNested:
      return Symbol(f.index, f.name) +
             " is placed only from inside other symbols (its use count shows 0)";
    case FindingKind::UnreadableTail:
      return "unreadable data from byte " + std::to_string(f.offset) + " to the end of the file";
    case FindingKind::ShortRecord:
      return Symbol(f.index, f.name) + " has a definition record of " +
             Counted(f.count, "byte", "bytes") + ", shorter than its " +
             std::to_string(kDefRecordLength) + " bytes of fields";
    case FindingKind::InvertedExtents:
      return Symbol(f.index, f.name) + " has extents with low above high";
  }
  return {};
}

const char* FindingKindName(FindingKind kind) {
  switch (kind) {
    case FindingKind::MissingSymbol:
      return "missing-symbol";
    case FindingKind::DuplicateName:
      return "duplicate-name";
    case FindingKind::EmptyName:
      return "empty-name";
    case FindingKind::PlacedOnlyNested:
      return "placed-only-nested";
    case FindingKind::UnreadableTail:
      return "unreadable-tail";
    case FindingKind::ShortRecord:
      return "short-record";
    case FindingKind::InvertedExtents:
      return "inverted-extents";
  }
  return "";
}

std::vector<int> NestedUseCounts(const DrawingFile& file) {
  const std::unordered_map<std::string, int> last = LastDefinitions(file);
  std::vector<int> counts(static_cast<std::size_t>(file.SymbolDefs().GetSize()), 0);
  const auto count = [&](const Entity& entity) {
    for (const std::string& placed : entity.NestedReferenceNames()) {
      if (const auto found = last.find(placed); found != last.end()) {
        ++counts[static_cast<std::size_t>(found->second)];
      }
    }
  };
  for (int i = 0; i < file.SymbolDefs().GetSize(); ++i) {
    count(file.SymbolDefs().GetAt(i));
  }
  for (int i = 0; i < file.OtherEntities().GetSize(); ++i) {
    if (IsTopLevelGroup(file.OtherEntities().GetAt(i))) {
      count(file.OtherEntities().GetAt(i));
    }
  }
  return counts;
}

Uses FindUses(const DrawingFile& file, const std::string& name) {
  Uses uses;
  // name -> placers whose groups reference it directly
  std::unordered_map<std::string, std::vector<Placer>> placersOf;
  const auto index = [&](const Entity& entity, Placer placer) {
    for (const std::string& placed : entity.NestedReferenceNames()) {
      auto& list = placersOf[placed];
      if (list.empty() || list.back().index != placer.index ||
          list.back().isGroup != placer.isGroup) {
        list.push_back(placer);
      }
    }
  };
  for (int i = 0; i < file.SymbolDefs().GetSize(); ++i) {
    index(file.SymbolDefs().GetAt(i), {false, i, NameOf(file.SymbolDefs().GetAt(i))});
  }
  for (int i = 0; i < file.OtherEntities().GetSize(); ++i) {
    const Entity& entity = file.OtherEntities().GetAt(i);
    if (IsTopLevelGroup(entity)) {
      index(entity, {true, i, {}});
    } else if (entity.GetType() == kTypeSymbolRef && NameOf(entity) == name) {
      ++uses.topLevel;
    }
  }
  // Breadth first over names, so that each placer is met first at its smallest depth.
  std::unordered_set<std::string> namesSeen{name};
  std::unordered_set<long long> placersSeen;
  std::vector<std::string> frontier{name};
  for (int depth = 1; !frontier.empty(); ++depth) {
    std::vector<Placer> found;
    for (const std::string& placed : frontier) {
      for (Placer placer : placersOf[placed]) {
        if (placersSeen.insert(placer.isGroup ? -1LL - placer.index : placer.index).second) {
          placer.depth = depth;
          found.push_back(placer);
        }
      }
    }
    std::sort(found.begin(), found.end(), [](const Placer& a, const Placer& b) {
      return std::tie(a.isGroup, a.index) < std::tie(b.isGroup, b.index);
    });
    frontier.clear();
    for (const Placer& placer : found) {
      if (!placer.isGroup && namesSeen.insert(placer.name).second) {
        frontier.push_back(placer.name);
      }
      uses.placers.push_back(placer);
    }
  }
  return uses;
}

namespace {

// Definition record and group byte for byte, but the name field only up to its zero.
bool SameDefinition(const Entity& a, const Entity& b) {
  const auto x = a.Bytes();
  const auto y = b.Bytes();
  if (x.size() != y.size() || NameOf(a) != NameOf(b)) {
    return false;
  }
  const std::size_t length = static_cast<std::size_t>(
      std::clamp<std::int64_t>(ReadI32(x, kLengthOffset).value_or(0), 0, std::int64_t(x.size())));
  const std::size_t fieldStart = std::min(kDefNameOffset, length);
  const std::size_t fieldEnd = std::min(kDefNameOffset + kNameFieldSize, length);
  return std::equal(x.begin(), x.begin() + fieldStart, y.begin()) &&
         std::equal(x.begin() + fieldEnd, x.end(), y.begin() + fieldEnd);
}

// The names of a file's symbols in the order of the definitions that references reach.
std::vector<std::string> NamesInOrder(const DrawingFile& file,
                                      const std::unordered_map<std::string, int>& last) {
  std::vector<std::string> names;
  for (int i = 0; i < file.SymbolDefs().GetSize(); ++i) {
    if (std::string name = NameOf(file.SymbolDefs().GetAt(i)); last.at(name) == i) {
      names.push_back(std::move(name));
    }
  }
  return names;
}

}  // namespace

SymbolDiff DiffSymbols(const DrawingFile& a, const DrawingFile& b) {
  SymbolDiff diff;
  const auto lastA = LastDefinitions(a);
  const auto lastB = LastDefinitions(b);
  std::vector<std::string> commonA;
  for (const std::string& name : NamesInOrder(a, lastA)) {
    const auto inB = lastB.find(name);
    if (inB == lastB.end()) {
      diff.onlyInA.push_back(name);
      continue;
    }
    commonA.push_back(name);
    if (!SameDefinition(a.SymbolDefs().GetAt(lastA.at(name)), b.SymbolDefs().GetAt(inB->second))) {
      diff.changed.push_back(name);
    }
  }
  std::vector<std::string> commonB;
  for (const std::string& name : NamesInOrder(b, lastB)) {
    (lastA.contains(name) ? commonB : diff.onlyInB).push_back(name);
  }
  diff.orderDiffers = commonA != commonB;
  return diff;
}

std::vector<int> Dependencies(const DrawingFile& file, int index) {
  const auto last = LastDefinitions(file);
  std::vector<int> found;
  std::unordered_set<int> seen{index};
  // `found` doubles as the queue: each entry's own references are followed in turn.
  const auto follow = [&](const Entity& placer) {
    for (const std::string& name : placer.NestedReferenceNames()) {
      if (const auto it = last.find(name); it != last.end() && seen.insert(it->second).second) {
        found.push_back(it->second);
      }
    }
  };
  follow(file.SymbolDefs().GetAt(index));
  for (std::size_t next = 0; next < found.size(); ++next) {
    follow(file.SymbolDefs().GetAt(found[next]));
  }
  return found;
}

}  // namespace runebin
