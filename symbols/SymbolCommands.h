#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/DrawingFile.h"
#include "model/Entity.h"

namespace runebin {

// The operations behind the symbol commands, on one drawing file (two for a copy). They ask
// nothing and show nothing, so that the window program and a command-line tool share them.
//
// Indices are places in the file's SymbolDefs. An index outside the list throws
// std::invalid_argument before anything has changed. Every operation that changes the file marks
// it modified.

// The name of a definition or reference; empty for any other entity.
std::string NameOf(const Entity& entity);

// A definition's width and height as the user sees them: its stored extents' differences, taken
// in single precision.
struct SymbolSize {
  float width = 0;
  float height = 0;
};
SymbolSize MeasureSymbol(const Entity& definition);

// Exchanges the definition at `index` with the one before it / after it.
void MoveSymbolUp(DrawingFile& file, int index);
void MoveSymbolDown(DrawingFile& file, int index);
// Moves the definition at `index` to place `to` in one step, the others keeping their order: what
// Up or Down repeated would do. Moving it to its own place changes nothing and marks nothing.
void MoveSymbolTo(DrawingFile& file, int index, int to);

// Sorts the definitions by name (see SortByName). Returns false, leaving the file untouched and
// unmarked, when they were already in order.
bool SortSymbols(DrawingFile& file);

// Gives the definition at `index` the name `newName` (cut to 31 bytes). A reference names the last
// definition of its name, so when that is the one renamed, every reference to the old name - at
// the top level and inside groups - is renamed too and the drawing still places it; an earlier
// definition of a repeated name is placed by nothing, and its rename leaves the references with
// the later one. Marks the file modified even when the name stays the same. Returns how many
// references were renamed.
int RenameSymbol(DrawingFile& file, int index, std::string_view newName);

// Appends a byte-for-byte copy of `source` (a definition of another file, with its group and its
// use count) to `target`; returns its index.
int AppendSymbolCopy(const Entity& source, DrawingFile& target);
// Makes the definition at `index` of `target` a copy of `source`; it keeps its place.
void ReplaceSymbolWithCopy(const Entity& source, DrawingFile& target, int index);

// Destroys the definition at `index`; the later ones move up. Its references stay (see
// DrawingFile::RemoveReferences). Returns the deleted definition's name.
std::string DeleteSymbol(DrawingFile& file, int index);

// For each definition, whether something left in the file places it: a use count above 0 (the
// top-level references counted at load, or carried by a copy), a reference inside a top-level
// group record, or a reference inside a definition that is itself kept. A name leads to the last
// definition of that name.
std::vector<bool> SymbolsInUse(const DrawingFile& file);

// Deletes every definition that SymbolsInUse does not keep; the others keep their order. Marks the
// file modified when it deleted any. Returns how many it deleted.
int DeleteUnusedSymbols(DrawingFile& file);

}  // namespace runebin
