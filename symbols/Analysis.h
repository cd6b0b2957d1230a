#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/DrawingFile.h"

namespace runebin {

// Read-only questions about the symbols of a drawing: what is wrong with them (check), who places
// one (uses), how two files differ (diff), and what a symbol needs to be copied whole. A name
// always leads to the last definition of that name, as the symbol operations find it.

// --- check ---------------------------------------------------------------------------------------

enum class FindingKind {
  MissingSymbol,     // references name no definition
  DuplicateName,     // several definitions share a name; `other` is the one references reach
  EmptyName,         // a definition without a name
  PlacedOnlyNested,  // placed only from inside other definitions: its use count shows 0
  UnreadableTail,    // the body cannot be read as records from `offset` on
  ShortRecord,       // a definition record shorter than the 88 bytes its fields need
  InvertedExtents,   // an extent's low value above its high value
};

struct Finding {
  FindingKind kind = FindingKind::MissingSymbol;
  // The definition concerned. MissingSymbol: the definition that places the name (or with
  // `inGroup` the top-level group record, by its index among the other records); -1 for
  // references at the top level.
  int index = -1;
  bool inGroup = false;
  std::string name;          // the definition's name (MissingSymbol: the name nothing defines)
  std::string placerName;    // MissingSymbol inside a definition: that definition's name
  int other = -1;            // DuplicateName: the definition that references reach
  std::uint64_t count = 0;   // MissingSymbol: how many references; ShortRecord: record length
  std::uint64_t offset = 0;  // UnreadableTail: its first byte in the file
};

// Every finding, in the order: tail, records, names, references.
std::vector<Finding> CheckDrawing(const DrawingFile& file);
// One line of plain text for a finding.
std::string DescribeFinding(const Finding& finding);
// Short stable names for the kinds, for machine-readable output ("missing-symbol", ...).
const char* FindingKindName(FindingKind kind);

// --- uses ----------------------------------------------------------------------------------------

struct Placer {
  bool isGroup = false;  // a top-level group record (index into otherEntities) or a definition
  int index = 0;
  std::string name;  // definitions only
  int depth = 1;     // 1 places the symbol itself, 2 places one that places it, ...
};

struct Uses {
  int topLevel = 0;             // top-level references naming the symbol
  std::vector<Placer> placers;  // by depth, then definitions before groups, then index
};

// For each definition, how many references inside definitions and top-level group records name
// it. As with the use count, an earlier definition of a repeated name gets none.
std::vector<int> NestedUseCounts(const DrawingFile& file);

// Who places `name`, directly and through other definitions. Each placer appears once, at its
// smallest depth; definitions that place each other do not loop.
Uses FindUses(const DrawingFile& file, const std::string& name);

// --- diff ----------------------------------------------------------------------------------------

struct SymbolDiff {
  std::vector<std::string> onlyInA;
  std::vector<std::string> onlyInB;
  std::vector<std::string> changed;  // in both, with different definition record or group
  bool orderDiffers = false;         // the common symbols stand in another order
  // Equal symbol sets: nothing only on one side and nothing changed (the order may differ).
  bool SameSymbols() const { return onlyInA.empty() && onlyInB.empty() && changed.empty(); }
};

// Compares the definitions by name (the last of each name), byte for byte with the name field
// compared up to its zero.
SymbolDiff DiffSymbols(const DrawingFile& a, const DrawingFile& b);

// --- copy ----------------------------------------------------------------------------------------

// The definitions that the one at `index` places from inside its group, transitively, in the
// order they are first reached; itself excluded. Names that nothing defines are skipped.
std::vector<int> Dependencies(const DrawingFile& file, int index);

}  // namespace runebin
