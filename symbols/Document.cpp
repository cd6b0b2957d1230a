#include "symbols/Document.h"

#include <atomic>
#include <cerrno>
#include <functional>
#include <memory>
#include <utility>

#include "metafile/ImportMetafile.h"
#include "platform/MemoryMap.h"

namespace runebin {

Document::Document(std::string listingPath) : drawing_(std::move(listingPath)) {}

LoadResult Document::Open(const std::string& path, bool readOnly, Lock lock,
                          DrawingFile::Scope scope) {
  Close();
  // The lock goes where it stays from the start: a write begun during the load holds it.
  platform::LockedFile whileLoading;
  platform::LockedFile* const locked = lock == Lock::WhileLoading ? &whileLoading : &lock_;
  // A write begun while the file loads copies from the file itself, so the file must stay locked
  // and mapped until it is written.
  DrawingFile::WhenMapped beginWrite;
  if (const std::optional<std::string> target = std::exchange(aheadTarget_, std::nullopt);
      target && lock == Lock::UntilWritten && scope == DrawingFile::Scope::Everything &&
      platform::SafeFileWriter::kCopiesAhead) {
    beginWrite = [this, target, what = aheadWrite_](const platform::MemoryMap& view,
                                                    platform::LockedFile* held) {
      platform::WriteOptions options;
      if (view.Maps(*target)) {
        // Its own file, as WriteBack writes it: still the one this document locked.
        options.held = held;
        options.expected = held->Identity();
      }
      // A target written in place (it has several names) is overwritten only when the time comes.
      auto writer = std::make_unique<platform::SafeFileWriter>();
      if (writer->Begin(*target, options).Saved() && !writer->WritesInPlace()) {
        if (what == EarlyWrite::CopyFile) {
          writer->CopyAhead(view);
        }
        ahead_ = std::move(writer);
        aheadPath_ = *target;
      }
    };
  }
  // Only a short reading use gains from letting the view's pages go behind the load; a document
  // kept to be written reads its entities through the view again.
  const LoadResult result =
      drawing_.Load(path, locked,
                    lock == Lock::UntilClosed ? DrawingFile::PassedPages::Release
                                              : DrawingFile::PassedPages::Keep,
                    scope, beginWrite);
  if (result != LoadResult::Loaded) {
    ahead_.reset();  // nothing to write: the new file goes (and the load let go of the lock)
    return result;
  }
  // Without the lock, another program may write into or cut the file while the document is
  // open, so the document takes its own copy of the bytes first (still under the lock).
  if (lock == Lock::WhileLoading && !drawing_.DetachFromFile()) {
    drawing_.Reset();
    return LoadResult::OpenFailed;
  }
  path_ = path;
  readOnly_ = readOnly || !drawing_.IsWhole();
  identity_ = locked->Identity();
  return result;
}

void Document::Close() {
  ahead_.reset();
  drawing_.Reset();
  placedViews_.clear();  // after the definitions that read from them
  lock_.Close();
  identity_.reset();
  path_.clear();
  readOnly_ = false;
}

bool Document::IsOwnPath(const std::string& target) const {
  if (target == path_) {
    return true;
  }
  const std::optional<platform::FileIdentity> other = platform::IdentityOfPath(target);
  return other && identity_ && other->SameFile(*identity_);
}

bool Document::FileHoldsTheSameBytes() const {
  // The file is locked, so it is still the one loaded; the drawing's own bytes may have been
  // changed in place, so the file is read again through a view of its own.
  platform::MemoryMap onDisk;
  return lock_.IsOpen() && lock_.Size() > 0 && onDisk.Map(lock_.Descriptor(), lock_.Size()) &&
         drawing_.WouldWriteLoadedFile(onDisk.Bytes());
}

SaveStatus Document::WriteBack(const std::optional<std::string>& output, IfChanged ifChanged) {
  if (!IsOpen()) {
    return {SaveResult::NothingLoaded, 0, {}};
  }
  if (readOnly_ || (!output && !drawing_.IsModified())) {
    return {};
  }
  const std::string& target = output ? *output : path_;
  const bool own = IsOwnPath(target);
  // The write begun during the load, if there is one: used or let go here.
  std::unique_ptr<platform::SafeFileWriter> ahead = std::move(ahead_);
  platform::WriteOptions options;
  options.held = lock_.IsOpen() ? &lock_ : nullptr;
  if (own && ifChanged == IfChanged::Refuse) {
    options.expected = identity_;
  }
  if (own && FileHoldsTheSameBytes()) {
    // Written back as far as the file is concerned: the hold ends as after a save.
    ahead.reset();
    drawing_.SetModified(false);
    lock_.Close();
    return {};
  }
  // Imported definitions may read their bytes from a file this write could overwrite.
  const bool goesOn = ahead && target == aheadPath_;
  if (!CopyPlacedSymbols(goesOn ? PlacedCopies::ThoseThatMove : PlacedCopies::All)) {
    return {SaveResult::WriteFailed, ENOMEM, {}};
  }
  SaveStatus status = goesOn ? drawing_.SaveWith(*ahead, target) : drawing_.Save(target, options);
  if (status.Saved() && own) {
    // The file now on disk is the one this document holds; the old lock guards a replaced file.
    lock_.Close();
    identity_ = platform::IdentityOfPath(path_);
  }
  return status;
}

bool Document::WouldWrite(const std::optional<std::string>& output) const {
  if (!IsOpen() || readOnly_) {
    return false;
  }
  if (output && !IsOwnPath(*output)) {
    return true;
  }
  return drawing_.IsModified() && !FileHoldsTheSameBytes();
}

ImportResult Document::ImportSymbol(const std::string& metafilePath, std::string_view name,
                                    float maxSize, bool allowEmpty, std::optional<int> replacing) {
  const int useCount = replacing ? drawing_.SymbolDefs().GetAt(*replacing).useCount : 0;
  std::unique_ptr<SymbolDef> definition;
  ImportDetails details;
  // A symbol appended goes where the write begun ahead will put it, while it is being made (from
  // two threads at once). A symbol that takes another's place is written with the rest, as is one
  // that could not be placed whole.
  ImportResult result = ImportResult::Succeeded;
  if (ahead_ && !replacing) {
    result = ImportPlaced(metafilePath, name, maxSize, definition, details);
  }
  if (result == ImportResult::Succeeded && !definition) {
    result = ImportMetafile(metafilePath, name, maxSize, definition, details);
  }
  if (result != ImportResult::Succeeded) {
    return result;
  }
  if (!definition) {
    return ImportResult::NothingReturned;
  }
  if (details.drawingBytes == 0 && !allowEmpty) {
    return ImportResult::NothingConverts;
  }
  // A new definition: nothing in the file places it yet, unless it takes another's place. Its name
  // is not compared with the names already there; an import may add a second one.
  definition->useCount = useCount;
  if (replacing) {
    drawing_.AssignSymbol(*replacing, *definition);
  } else {
    if (definition->PlacedAhead()) {
      // Where ImportPlaced put it: at the end of the definitions.
      ahead_->ExpectPlaced(static_cast<std::int64_t>(drawing_.SymbolsEnd()), definition->Bytes());
    }
    drawing_.AddSymbol(std::move(definition));
  }
  return result;
}

ImportResult Document::ImportPlaced(const std::string& metafilePath, std::string_view name,
                                    float maxSize, std::unique_ptr<SymbolDef>& definition,
                                    ImportDetails& details) {
  const auto at = static_cast<std::int64_t>(drawing_.SymbolsEnd());
  std::atomic<bool> placed = true;
  const FinishedBytes finished = [&](std::size_t offset, std::span<const std::uint8_t> bytes) {
    if (!ahead_->PlaceAhead(at + static_cast<std::int64_t>(offset), bytes)) {
      placed = false;
    }
  };
  std::unique_ptr<SymbolDef> none;
  const ImportResult result = ImportMetafile(metafilePath, name, maxSize, none, details, finished,
                                             SymbolBytes::HandedOverOnly);
  auto view = std::make_unique<platform::MemoryMap>();
  const auto end = at + static_cast<std::int64_t>(details.outputBytes);
  if (result != ImportResult::Succeeded || !placed || !details.handedOver ||
      !ahead_->MapOutput(*view, end)) {
    return result;
  }
  std::unique_ptr<Entity> entity =
      CreateFramedOver(view->Bytes().subspan(static_cast<std::size_t>(at), details.outputBytes));
  if (auto* made = dynamic_cast<SymbolDef*>(entity.get()); made != nullptr) {
    entity.release();
    definition.reset(made);
    // The import writes paths, ellipses and groups, never a reference.
    definition->KnowsNoNestedReference();
    definition->MarkPlacedAhead();
    placedViews_.push_back(std::move(view));
  }
  return result;
}

bool Document::CopyPlacedSymbols(PlacedCopies which) {
  const EntityList& definitions = drawing_.SymbolDefs();
  for (int i = 0; i < definitions.GetSize() && !placedViews_.empty(); ++i) {
    // Looked up by where its bytes are: an import's definition may since have been renamed,
    // moved, copied or replaced.
    Entity& definition = definitions.GetAt(i);
    const std::uint8_t* const bytes = definition.Bytes().data();
    for (const auto& view : placedViews_) {
      const std::uint8_t* const start = view->Data();
      const std::uint8_t* const end = start + view->Size();
      if (std::less_equal<>()(start, bytes) && std::less<>()(bytes, end)) {
        const bool passedOver = which == PlacedCopies::ThoseThatMove && definition.PlacedAhead() &&
                                drawing_.SymbolOffset(i) == static_cast<std::size_t>(bytes - start);
        if (!passedOver && !definition.KeepOwnCopy()) {
          return false;
        }
        break;
      }
    }
  }
  if (which == PlacedCopies::All) {
    placedViews_.clear();  // nothing reads from them any more
  }
  return true;
}

}  // namespace runebin
