#pragma once

#include <cstdint>
#include <memory_resource>
#include <string>
#include <string_view>
#include <vector>

#include "model/EntityList.h"
#include "model/EntityListing.h"
#include "platform/MemoryMap.h"

namespace runebin {

class OutputFile;

// Results of DrawingFile::Load.
inline constexpr int LoadOpenFailed = -1;    // cannot be opened, mapped, or is locked elsewhere
inline constexpr int LoadNotDrawing = -2;    // the header lacks the drawing signature
inline constexpr int LoadWrongVersion = -3;  // the version digit is not '6'
inline constexpr int LoadCompressed = -4;    // the body is compressed
// Result of DrawingFile::Save.
inline constexpr int SaveFailed = -1;

// Where the entity listing goes unless a document is told otherwise.
std::string DefaultEntityListingPath();

// One drawing file in memory: its header and its top-level entities in three lists, with a use
// count on every symbol definition. Nothing reaches the disk before Save.
//
// The document keeps the bytes it loaded (the file mapped copy-on-write, or its own copy of bytes
// loaded from memory) and its entities refer into them; the entity objects come from one arena,
// released at once by Reset. So an entity taken out of a list must be gone before the next Reset
// or Load.
//
// Invariants: every top-level entity of the loaded file is in exactly one list; symbolDefs holds
// only SymbolDef objects; an unreadable tail of the body (see UnreadableTail) is the last entry
// of otherEntities, so it is written back last, where it was.
class DrawingFile {
 public:
  // `listingPath` is where Load writes the entity listing; empty writes none.
  explicit DrawingFile(std::string listingPath = DefaultEntityListingPath());
  ~DrawingFile() { Reset(); }
  DrawingFile(const DrawingFile&) = delete;
  DrawingFile& operator=(const DrawingFile&) = delete;

  // Loads a drawing, dropping whatever was loaded before (also when this load fails). Returns 0
  // or one of LoadOpenFailed .. LoadCompressed; after a failure the document is empty.
  int Load(const std::string& path);
  // Loads a drawing held in memory, with the same checks and results (no listing is written).
  int LoadFromMemory(std::span<const std::uint8_t> bytes);
  // Writes header, type-0 entities, symbol definitions and other entities, each list in its
  // order, replacing the file at `path` safely. Returns 0, or SaveFailed with the file on disk
  // untouched and the modified flag kept.
  int Save(const std::string& path);
  // Writes the document as Save does, to any destination. Returns false if a write failed.
  bool WriteTo(OutputFile& out) const;
  // Drops everything: header, entities and both flags. Always returns 0.
  int Reset();

  bool IsLoaded() const { return loaded_; }
  bool IsModified() const { return modified_; }
  // Sets the modified flag and returns its previous value.
  bool SetModified(bool value);

  // Removes and destroys every top-level reference named exactly `name`; returns how many. Marks
  // the document modified when it removed any.
  int RemoveReferences(std::string_view name);
  // Renames every reference named exactly `oldName`, at the top level and nested inside the
  // groups of definitions and group records (which place the symbol as well); returns how many.
  // Marks the document modified when it renamed any.
  int RenameReferences(std::string_view oldName, std::string_view newName);

  const std::vector<std::uint8_t>& Header() const { return header_; }
  // Type and subtype of every top-level entity of the last load, in file order.
  const std::vector<ListingRow>& LoadedListing() const { return listing_; }

  EntityList typeZeroEntities;
  EntityList symbolDefs;
  EntityList otherEntities;

 private:
  int CheckHeader(std::span<const std::uint8_t> view);
  int LoadBytes(bool releaseBehind);
  void ReadBody(std::span<std::uint8_t> body, bool releaseBehind);
  void WriteListing() const;

  platform::MemoryMap bytes_;
  std::pmr::monotonic_buffer_resource arena_{std::size_t{2} << 20, platform::LargeMemory()};
  std::string listingPath_;
  std::vector<std::uint8_t> header_;
  std::vector<ListingRow> listing_;
  bool loaded_ = false;
  bool modified_ = false;
};

}  // namespace runebin
