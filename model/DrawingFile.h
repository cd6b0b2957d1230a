#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <memory_resource>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/EntityList.h"
#include "model/EntityListing.h"
#include "platform/LargeMemory.h"
#include "platform/LockedFile.h"
#include "platform/MemoryMap.h"
#include "platform/SafeFileWriter.h"
#include "platform/SaveResult.h"

namespace runebin {

class BodyWindow;
class OutputFile;
class SymbolDef;

// How DrawingFile::Load ended; the numbers are the codes the program has always used.
enum class LoadResult {
  Loaded = 0,
  OpenFailed = -1,    // missing, not a regular file, empty, or cannot be mapped
  NotDrawing = -2,    // the header lacks the drawing signature
  WrongVersion = -3,  // the version digit is not '6'
  Compressed = -4,    // the body is compressed
  InUse = -5,         // another program holds the file locked
};

// The part of a body that could not be read as records: it starts `offset` bytes into the file
// and runs `bytes` bytes to its end. It is kept and written back as it is.
struct DamagedTail {
  std::int64_t offset = 0;
  std::int64_t bytes = 0;
};

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
// Invariants, kept by the operations below (the lists are read-only to everyone else): every
// top-level entity of the loaded file is in exactly one list (of a whole load, see Scope);
// SymbolDefs holds only SymbolDef objects; an unreadable tail of the body (see UnreadableTail) is
// the last entry of OtherEntities, so it is written back last, where it was. Every change marks the
// document modified. An index outside a list throws std::invalid_argument before anything changed.
class DrawingFile {
 public:
  // `listingPath` is where Load writes the entity listing; empty writes none.
  explicit DrawingFile(std::string listingPath = DefaultEntityListingPath());
  ~DrawingFile() { Reset(); }
  DrawingFile(const DrawingFile&) = delete;
  DrawingFile& operator=(const DrawingFile&) = delete;

  // What a load does with the pages of the view behind its walk (the walk reads the file through
  // a window of its own, so these are the pages of entities read since, or all of them where the
  // file can only be read through the view). Release lets them go, so that a reading use keeps a
  // fraction of a big file resident; Keep leaves them mapped, for a document that will be written.
  enum class PassedPages { Release, Keep };

  // How much of the body a load keeps. Everything keeps every record in the lists below.
  // SymbolsOnly keeps the symbol definitions and the group records (types 17 and 18, which place
  // symbols from inside their groups) and counts the top-level references into the use counts as
  // Everything does; every other record is framed and passed over. A big drawing's symbol table
  // is read so without building millions of entities. Each kept entity holds a digest of its
  // group in the document's arena (see SymbolsWalk): the leading record, the group's markers and
  // the references and leading records nested in it, so names, extents, nested references and the
  // framing read as from the whole group, and reading them never touches the file's pages. Such a
  // document holds only part of its file, so it is never written: Save and WriteTo refuse it, and
  // it has no LoadedListing.
  enum class Scope { Everything, SymbolsOnly };

  // Loads a drawing, dropping whatever was loaded before (also when this load fails); after a
  // failure the document is empty. The file is locked while it is read; with `keepLocked`, a
  // successful load hands the still locked file over to it (a failed one leaves it closed).
  // `whenMapped`, if given, is called once the file is locked, mapped and known to be a drawing,
  // before its body is read, with the view and `keepLocked` (which then already holds the file):
  // a save that will follow can start copying the file meanwhile.
  using WhenMapped = std::function<void(const platform::MemoryMap&, platform::LockedFile*)>;
  LoadResult Load(const std::string& path, platform::LockedFile* keepLocked = nullptr,
                  PassedPages passed = PassedPages::Release, Scope scope = Scope::Everything,
                  const WhenMapped& whenMapped = {});
  // Loads a drawing held in memory, with the same checks and results (no listing is written).
  LoadResult LoadFromMemory(std::span<const std::uint8_t> bytes);
  // Makes the loaded bytes the document's own, so that nothing another program does to the file
  // afterwards can reach them (by default they are read from the file as needed, which only the
  // file's lock keeps safe). Returns false when memory ran out.
  bool DetachFromFile();
  // Writes header, type-0 entities, symbol definitions and other entities, each list in its
  // order, replacing the file at `path` safely (see platform::SafeFileWriter for `options`). On
  // failure the file on disk is as it was and the modified flag is kept.
  SaveStatus Save(const std::string& path, const platform::WriteOptions& options = {});
  // Save with a writer already begun for `path` (see platform::SafeFileWriter::CopyAhead).
  SaveStatus SaveWith(platform::SafeFileWriter& writer, const std::string& path);
  // Writes the document as Save does, to any destination. Returns false if a write failed.
  bool WriteTo(OutputFile& out) const;
  // Whether Save would write exactly `file`: the bytes of the file this drawing was loaded from,
  // unchanged since (its lock keeps them so). Sizes are compared first; then only what may differ
  // from the file is: the header, entities with bytes of their own or moved from their place in
  // the file, and those edited in place. It stops at the first difference.
  bool WouldWriteLoadedFile(std::span<const std::uint8_t> file) const;
  // Where, in the file Save writes, the bytes after the symbol definitions start: where a
  // definition appended now will be written.
  std::size_t SymbolsEnd() const;
  // Where, in the file Save writes, the definition at `index` starts.
  std::size_t SymbolOffset(int index) const;
  // Drops everything: header, entities and both flags.
  void Reset();

  bool IsLoaded() const { return loaded_; }
  // Whether the lists hold every record of the body (see Scope).
  bool IsWhole() const { return scope_ == Scope::Everything; }
  bool IsModified() const { return modified_; }
  // Sets the modified flag and returns its previous value.
  bool SetModified(bool value);

  const EntityList& TypeZeroEntities() const { return typeZeroEntities_; }
  const EntityList& SymbolDefs() const { return symbolDefs_; }
  const EntityList& OtherEntities() const { return otherEntities_; }
  // The unreadable end of the body, if the last load met one.
  std::optional<DamagedTail> Damage() const { return damage_; }

  // --- Symbol definitions ---
  // Exchanges two definitions.
  void SwapSymbols(int first, int second);
  // Appends a definition the document now owns; returns its index.
  int AddSymbol(std::unique_ptr<SymbolDef> definition);
  // Makes the definition at `index` a byte-for-byte copy of `source` (a definition), use count
  // included; it keeps its place.
  void AssignSymbol(int index, const Entity& source);
  // Writes `newName` (cut to the name field) into the definition at `index`; returns the old name.
  std::string SetSymbolName(int index, std::string_view newName);
  // Destroys the definition at `index`; the later ones move up.
  void RemoveSymbol(int index);
  // Puts the definitions in the order `order` gives: element k is the index of the definition
  // that goes to place k. Throws std::invalid_argument unless `order` is a permutation.
  void ReorderSymbols(std::span<const int> order);
  // Destroys every definition whose `kept` entry is false; the others keep their order. Returns
  // how many it destroyed.
  int KeepSymbols(const std::vector<bool>& kept);

  // Removes and destroys every top-level reference named exactly `name`; returns how many. Marks
  // the document modified when it removed any.
  int RemoveReferences(std::string_view name);
  // Renames every reference named exactly `oldName`, at the top level and nested inside the
  // groups of definitions and group records (which place the symbol as well); returns how many.
  // Marks the document modified when it renamed any.
  int RenameReferences(std::string_view oldName, std::string_view newName);

  const std::vector<std::uint8_t>& Header() const { return header_; }
  // Type and subtype of every top-level entity of the last load, in file order.
  std::span<const ListingRow> LoadedListing() const { return listing_; }

 private:
  LoadResult CheckHeader(std::span<const std::uint8_t> view);
  LoadResult LoadBytes(bool releaseBehind);
  bool ReadBody(std::span<std::uint8_t> body, bool releaseBehind);
  // The walks of the two scopes.
  bool ReadEverything(const BodyWindow& window, std::span<std::uint8_t> body, bool releaseBehind);
  bool ReadSymbols(const BodyWindow& window, std::span<std::uint8_t> body, bool releaseBehind);
  // Makes the body from `offset` on its UnreadableTail.
  void AddTail(std::span<std::uint8_t> body, std::size_t offset);
  // The length of the run of passive records (all of type 0, or none) at `start`, with a listing
  // row for each; 0 when the first is not one.
  std::size_t PassiveRun(const BodyWindow& body, std::size_t start);
  void WriteListing() const;

  platform::MemoryMap bytes_;
  std::pmr::monotonic_buffer_resource arena_{std::size_t{2} << 20, platform::LargeMemory()};
  EntityList typeZeroEntities_;
  EntityList symbolDefs_;
  EntityList otherEntities_;
  std::string listingPath_;
  std::vector<std::uint8_t> header_;
  // A row per record: millions for a big drawing, in huge pages like the entity lists.
  std::vector<ListingRow, platform::LargeAllocator<ListingRow>> listing_;
  bool loaded_ = false;
  bool modified_ = false;
  Scope scope_ = Scope::Everything;
  std::optional<DamagedTail> damage_;
};

}  // namespace runebin
