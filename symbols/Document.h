#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "metafile/ImportMetafile.h"
#include "metafile/ImportResult.h"
#include "model/DrawingFile.h"
#include "model/Format.h"
#include "platform/FileIdentity.h"
#include "platform/LockedFile.h"
#include "platform/MemoryMap.h"
#include "platform/SafeFileWriter.h"
#include "platform/SaveResult.h"

namespace runebin {

// What a user may give a symbol, the same in every front end: a name of at most 31 bytes, and an
// import's Max Size (the larger dimension of the imported drawing) from 0 to 100,000,000.
inline constexpr int kMaxSymbolNameLength = static_cast<int>(kMaxNameLength);
inline constexpr double kLowestMaxSize = 0.0;
inline constexpr double kHighestMaxSize = 100000000.0;
inline constexpr float kDefaultMaxSize = 100.0F;

// One drawing file as a front end holds it: where it came from, whether it may be written back,
// the drawing itself and which file it was when loaded. Opening, writing back and importing are
// done here once for every front end; the symbol operations (SymbolCommands.h) work on Drawing().
//
// Another program may change the file while a document holds it. Open can keep the file locked
// until it is written back (a command-line run does: nothing can come between its load and its
// write), and WriteBack refuses a file that is no longer the one loaded unless told to overwrite
// it (the window asks its user first).
class Document {
 public:
  enum class Lock {
    WhileLoading,  // released once the file is read; the identity tells later changes
    UntilWritten,  // held until a write-back to its own path has written it, or Close
    UntilClosed,   // held until Close; for a short read-only use, which then needs no copy
  };
  enum class IfChanged { Refuse, Overwrite };
  // What a write begun while the file loads (WriteAheadTo) does until WriteBack comes.
  enum class EarlyWrite {
    CopyFile,      // copies the whole file into it: most of a rename's new file is the old one
    PlaceImports,  // takes each symbol ImportSymbol appends, where it will go, as it is made
  };

  // `listingPath` is where each load writes its entity listing; empty writes none.
  explicit Document(std::string listingPath = DefaultEntityListingPath());

  // Loads `path`, dropping whatever was open before. A read-only document is never written, nor
  // is one loaded with less than its whole body (see DrawingFile::Scope).
  LoadResult Open(const std::string& path, bool readOnly, Lock lock,
                  DrawingFile::Scope scope = DrawingFile::Scope::Everything);
  // Before Open, for a document that the caller will write to `target` (its own file or
  // another): an Open with Lock::UntilWritten begins that write, so that most of the writing is
  // done when WriteBack comes. For a rename, which keeps the layout of the records, the file is
  // copied into it while it loads (see platform::SafeFileWriter::CopyAhead); for imports, each
  // symbol appended is written into it as it is made (see platform::SafeFileWriter::PlaceAhead)
  // and read back from there, never kept in memory. Changes nothing else; where the write cannot
  // begin early, WriteBack writes as always. For a batch run, which writes once and ends: once
  // written, such a symbol reads from the file written, which nothing locks any more, so another
  // program that cut that file short before the document next read the symbol would end this one.
  void WriteAheadTo(std::string target, EarlyWrite what = EarlyWrite::CopyFile) {
    aheadTarget_ = std::move(target);
    aheadWrite_ = what;
  }
  // Drops the drawing and releases the file.
  void Close();

  // Writes the drawing to `output` when given (always), otherwise back to its own path when it
  // was changed; a read-only document, or an unchanged one without `output`, writes nothing and
  // succeeds. While the document still holds its file locked, a write to its own path that would
  // put back the very bytes the file has is left out (the file keeps its identity and time) and
  // counts as saved. Writing to its own path (also by another name) refuses with ChangedOnDisk when
  // the file is no longer the one loaded, unless `ifChanged` is Overwrite. The file written keeps
  // its owner, group and mode (see platform::SafeFileWriter).
  SaveStatus WriteBack(const std::optional<std::string>& output = std::nullopt,
                       IfChanged ifChanged = IfChanged::Refuse);
  // Whether WriteBack(output) would write a file: a dry run's answer. Writing to another file
  // always does; writing back to its own file only when the bytes would differ.
  bool WouldWrite(const std::optional<std::string>& output = std::nullopt) const;

  // Converts the metafile at `metafilePath` into a definition named `name` (cut to 31 bytes) whose
  // larger dimension is `maxSize`, and appends it, unused - or, with a `replacing` index, puts it
  // in the place of that definition, whose use count it takes over (the references to that name
  // then place it). Returns the reader's failure, NothingReturned for a success without a symbol,
  // or - unless `allowEmpty` - NothingConverts when no record of the metafile converted; on any
  // failure the drawing is unchanged. A `replacing` index outside the list throws
  // std::invalid_argument before the metafile is read.
  ImportResult ImportSymbol(const std::string& metafilePath, std::string_view name, float maxSize,
                            bool allowEmpty, std::optional<int> replacing = std::nullopt);

  bool IsOpen() const { return drawing_.IsLoaded(); }
  const std::string& Path() const { return path_; }
  bool ReadOnly() const { return readOnly_; }
  DrawingFile& Drawing() { return drawing_; }
  const DrawingFile& Drawing() const { return drawing_; }
  // The file as loaded (or as last written back).
  const std::optional<platform::FileIdentity>& Identity() const { return identity_; }

 private:
  bool IsOwnPath(const std::string& target) const;
  bool FileHoldsTheSameBytes() const;
  // For EarlyWrite::PlaceImports: converts the metafile straight into the new file, where the
  // symbol appended now will be written, keeping none of it in memory; the definition then reads
  // its bytes from that file. Leaves `definition` empty when they could not all be placed there.
  ImportResult ImportPlaced(const std::string& metafilePath, std::string_view name, float maxSize,
                            std::unique_ptr<SymbolDef>& definition, ImportDetails& details);
  // Before a write: definitions that read their bytes from the new file of the write begun ahead
  // (or, once that was written, from the file it became) take copies of their own first, since
  // the write could otherwise overwrite them before it has read them - all of them, or for the
  // write begun ahead itself only those it will not pass over where they were placed. False when
  // memory ran out.
  enum class PlacedCopies { ThoseThatMove, All };
  bool CopyPlacedSymbols(PlacedCopies which);

  std::string path_;
  bool readOnly_ = false;
  // The views of the new file that imported definitions read from: kept until the definitions go,
  // so declared before the drawing.
  std::vector<std::unique_ptr<platform::MemoryMap>> placedViews_;
  DrawingFile drawing_;
  platform::LockedFile lock_;
  std::optional<platform::FileIdentity> identity_;
  std::optional<std::string> aheadTarget_;  // for the next Open
  EarlyWrite aheadWrite_ = EarlyWrite::CopyFile;
  std::string aheadPath_;  // the write begun during the last Open, and its target
  std::unique_ptr<platform::SafeFileWriter> ahead_;
};

}  // namespace runebin
