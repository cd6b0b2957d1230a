#include "model/DrawingFile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <new>
#include <stdexcept>
#include <string_view>
#include <utility>
#include <vector>

#include "model/BodyWindow.h"
#include "model/Format.h"
#include "model/MappedFile.h"
#include "model/NamedEntity.h"
#include "model/SymbolsWalk.h"
#include "model/UseCounter.h"
#include "platform/FileNames.h"
#include "platform/SafeFileWriter.h"
#include "platform/TempFolder.h"

namespace runebin {

std::string DefaultEntityListingPath() {
#ifdef _WIN32
  return "c:\\entities.txt";
#else
  return platform::TemporaryFolder() + "/entities.txt";
#endif
}

DrawingFile::DrawingFile(std::string listingPath) : listingPath_(std::move(listingPath)) {}

LoadResult DrawingFile::Load(const std::string& path, platform::LockedFile* keepLocked,
                             PassedPages passed, Scope scope, const WhenMapped& whenMapped) {
  if (loaded_) {
    Reset();
  }
  scope_ = scope;
  MappedFile file;
  switch (file.Open(path)) {
    case platform::LockResult::Locked:
      break;
    case platform::LockResult::InUse:
      return LoadResult::InUse;
    case platform::LockResult::Failed:
      return LoadResult::OpenFailed;
  }
  bytes_ = file.TakeView();
  // The caller holds the lock from here on, where it stays: what whenMapped begins (a save of
  // this very file) may refer to it.
  if (keepLocked != nullptr) {
    *keepLocked = file.TakeFile();
  }
  if (whenMapped && CheckHeader(bytes_.Bytes()) == LoadResult::Loaded) {
    whenMapped(bytes_, keepLocked);
  }
  const LoadResult result = LoadBytes(passed == PassedPages::Release);
  if (result != LoadResult::Loaded) {
    if (keepLocked != nullptr) {
      keepLocked->Close();
    }
    return result;
  }
  if (IsWhole()) {
    WriteListing();
  }
  return result;
}

bool DrawingFile::DetachFromFile() {
  // Only renaming writes into the loaded bytes, and it marks what it edits.
  bool edited = false;
  for (const EntityList* list : {&typeZeroEntities_, &symbolDefs_, &otherEntities_}) {
    for (int i = 0; i < list->GetSize() && !edited; ++i) {
      edited = list->GetAt(i).EditedInPlace();
    }
  }
  return bytes_.Detach(!edited);
}

LoadResult DrawingFile::LoadFromMemory(std::span<const std::uint8_t> bytes) {
  if (loaded_) {
    Reset();
  }
  scope_ = Scope::Everything;
  // The caller's bytes may go away; the document keeps a copy of its own.
  if (!bytes.empty()) {
    if (!bytes_.Allocate(bytes.size())) {
      return LoadResult::OpenFailed;
    }
    std::copy(bytes.begin(), bytes.end(), bytes_.Bytes().begin());
  }
  return LoadBytes(false);
}

// Reads the document from bytes_. With `releaseBehind`, bytes_ maps the file, and the pages the
// walk has passed are let go (they are read again from the file when needed).
LoadResult DrawingFile::LoadBytes(bool releaseBehind) {
  const std::span<std::uint8_t> view = bytes_.Bytes();
  if (const LoadResult refused = CheckHeader(view); refused != LoadResult::Loaded) {
    Reset();
    return refused;
  }
  try {
    // A file shorter than the header reads as if padded with zeros.
    header_.assign(kHeaderSize, 0);
    std::copy_n(view.begin(), std::min(view.size(), kHeaderSize), header_.begin());
    if (view.size() > kHeaderSize && !ReadBody(view.subspan(kHeaderSize), releaseBehind)) {
      Reset();
      return LoadResult::OpenFailed;
    }
  } catch (const std::bad_alloc&) {
    Reset();
    return LoadResult::OpenFailed;
  }
  loaded_ = true;
  modified_ = false;
  return LoadResult::Loaded;
}

LoadResult DrawingFile::CheckHeader(std::span<const std::uint8_t> view) {
  auto byteAt = [view](std::size_t offset) -> std::uint8_t {
    return offset < view.size() ? view[offset] : 0;
  };
  for (std::size_t i = 0; i < kSignature.size(); ++i) {
    if (byteAt(i) != static_cast<std::uint8_t>(kSignature[i])) {
      return LoadResult::NotDrawing;
    }
  }
  if (byteAt(kVersionOffset) != kSupportedVersion) {
    return LoadResult::WrongVersion;
  }
  if (byteAt(kCompressedFlagOffset) != 0) {
    return LoadResult::Compressed;
  }
  return LoadResult::Loaded;
}

namespace {

// Enough of a record's start for its type, subtype and name.
constexpr std::size_t kHeadBytes = kDefNameOffset + kNameFieldSize;

// The name field of a framed record whose first bytes are `head`, clipped to the record's own
// length, as NamedEntity::NameView reads it.
std::string_view NameIn(std::span<const std::uint8_t> head, std::size_t nameOffset) {
  const auto length = static_cast<std::size_t>(ReadI32(head, kLengthOffset).value_or(0));
  return NameFieldView(head.first(std::min(length, head.size())), nameOffset);
}

}  // namespace

std::size_t DrawingFile::PassiveRun(const BodyWindow& body, std::size_t start) {
  std::size_t offset = start;
  bool typeZero = false;
  while (offset < body.Size()) {
    const std::span<const std::uint8_t> head = body.At(offset, kSubtypeOffset + 1);
    const std::size_t length = RecordLengthIn(head, body.Size() - offset);
    if (length == 0 || !IsPassiveRecord(head[kTypeOffset]) ||
        (offset > start && (head[kTypeOffset] == kTypeZero) != typeZero)) {
      break;
    }
    typeZero = head[kTypeOffset] == kTypeZero;
    listing_.push_back({head[kTypeOffset], typeZero && length > kSubtypeOffset
                                               ? head[kSubtypeOffset]
                                               : std::uint8_t{0}});
    offset += length;
  }
  return offset - start;
}

namespace {

// Lets the pages of the view behind the walk go, a megabyte at a time.
class PagesBehind {
 public:
  PagesBehind(platform::MemoryMap& view, bool release) : view_(view), release_(release) {}
  void Passed(std::size_t offset) {
    if (release_ && offset >= releaseAt_) {
      view_.Release(static_cast<std::int64_t>(kHeaderSize + offset));
      releaseAt_ = offset + (std::size_t{1} << 20);
    }
  }

 private:
  platform::MemoryMap& view_;
  bool release_;
  std::size_t releaseAt_ = 0;
};

}  // namespace

// Walks the body one top-level record at a time, framing the records through a BodyWindow. A
// record that cannot be framed (length below 5, running past the end, or a group that never
// closes) makes the rest of the body one UnreadableTail: no byte is dropped, and the walk always
// ends. Returns false when the file could not be read to its end. Throws std::bad_alloc when
// memory runs out.
bool DrawingFile::ReadBody(std::span<std::uint8_t> body, bool releaseBehind) {
  // Room for as many records as the body can hold, so that no list is copied as it grows: where
  // the room is address space only, and only what the entries fill is ever touched.
  if (IsWhole() && platform::UnwrittenRoomIsFree()) {
    const std::size_t most = body.size() / kMinRecordLength + 1;
    for (EntityList* list : {&typeZeroEntities_, &symbolDefs_, &otherEntities_}) {
      list->Reserve(most);
    }
    try {
      listing_.reserve(most);
    } catch (const std::bad_alloc&) {
      // a hint, like the lists' room: the listing grows as it goes
    }
  }
  const BodyWindow window(bytes_, body, kHeaderSize);
  return (IsWhole() ? ReadEverything(window, body, releaseBehind)
                    : ReadSymbols(window, body, releaseBehind)) &&
         !window.Failed();
}

// The entities refer to their bytes in `body`.
bool DrawingFile::ReadEverything(const BodyWindow& window, std::span<std::uint8_t> body,
                                 bool releaseBehind) {
  PagesBehind behind(bytes_, releaseBehind);
  UseCounter uses(body.size());
  std::size_t offset = 0;
  while (offset < body.size()) {
    behind.Passed(offset);
    const std::span<const std::uint8_t> first = window.At(offset, kTypeOffset + 1);
    const int firstType = first.size() > kTypeOffset ? first[kTypeOffset] : -1;
    if (const std::size_t run = PassiveRun(window, offset); run > 0) {
      (firstType == kTypeZero ? typeZeroEntities_ : otherEntities_)
          .Add(CreateFramedInPlace(body.subspan(offset, run), firstType, arena_));
      offset += run;
      continue;
    }
    bool holdsReference = false;
    const std::size_t extent = TopLevelExtentAt(window, offset, &holdsReference);
    if (window.Failed()) {
      return false;
    }
    const std::span<const std::uint8_t> head = window.At(offset, kHeadBytes);
    if (extent == 0) {
      // The rest is read no further: it is carried as it is, typed by its fifth byte, as an
      // entity types itself, read here from the window.
      listing_.push_back({head.size() > kTypeOffset ? head[kTypeOffset] : std::uint8_t{0}, 0});
      AddTail(body, offset);
      break;
    }
    const int type = head[kTypeOffset];
    std::unique_ptr<Entity> entity =
        CreateFramedInPlace(body.subspan(offset, extent), type, arena_);
    if (!holdsReference) {
      entity->KnowsNoNestedReference();
    }
    if (type == kTypeSymbolRef) {
      const std::string_view name = NameIn(head, kRefNameOffset);
      const std::uint32_t hash = NameHash(name);
      uses.Reference(name, hash);
      if (NamedEntity* named = entity->AsNamed()) {
        named->KnowsName(hash);
      }
    }
    listing_.push_back({static_cast<std::uint8_t>(type), 0});
    if (type == kTypeSymbolDef) {
      const std::string_view name = NameIn(head, kDefNameOffset);
      const std::uint32_t hash = NameHash(name);
      uses.Definition(*entity, name, hash);
      if (NamedEntity* named = entity->AsNamed()) {
        named->KnowsName(hash);
      }
      symbolDefs_.Add(std::move(entity));
    } else {
      otherEntities_.Add(std::move(entity));
    }
    offset += extent;
  }
  uses.Apply();
  return true;
}

// The groups get bytes of their own, their digests (see SymbolsWalk), in the arena: what the
// document reads of them later is already at hand, where the view's pages would be faulted in
// one by one. References are counted and passed over, like every other record.
bool DrawingFile::ReadSymbols(const BodyWindow& window, std::span<std::uint8_t> body,
                              bool releaseBehind) {
  PagesBehind behind(bytes_, releaseBehind);
  UseCounter uses(body.size());
  SymbolsWalk walk(window);
  for (SymbolsWalk::Found found = walk.Next(); found != SymbolsWalk::Found::End;
       found = walk.Next()) {
    behind.Passed(walk.Start());
    if (found == SymbolsWalk::Found::Reference) {
      const std::string_view name = walk.Name();
      uses.Reference(name, NameHash(name));
    } else if (found == SymbolsWalk::Found::Group) {
      const std::span<const std::uint8_t> digest = walk.Digest();
      const std::span<std::uint8_t> own(
          static_cast<std::uint8_t*>(arena_.allocate(digest.size(), 1)), digest.size());
      std::copy(digest.begin(), digest.end(), own.begin());
      const int type = own[kTypeOffset];
      std::unique_ptr<Entity> entity = CreateFramedInPlace(own, type, arena_);
      if (type == kTypeSymbolDef) {
        const std::string_view name = NameIn(own, kDefNameOffset);
        uses.Definition(*entity, name, NameHash(name));
        symbolDefs_.Add(std::move(entity));
      } else {
        otherEntities_.Add(std::move(entity));
      }
    } else if (window.Failed()) {
      return false;
    } else {
      AddTail(body, walk.Start());
    }
  }
  uses.Apply();
  return true;
}

void DrawingFile::AddTail(std::span<std::uint8_t> body, std::size_t offset) {
  otherEntities_.Add(CreateTailInPlace(body.subspan(offset), arena_));
  damage_ = DamagedTail{static_cast<std::int64_t>(kHeaderSize + offset),
                        static_cast<std::int64_t>(body.size() - offset)};
}

void DrawingFile::WriteListing() const {
  if (listingPath_.empty()) {
    return;
  }
  // Text mode: the lines end as the platform's text files do.
  std::FILE* out = platform::OpenFile(listingPath_, "w");
  if (out == nullptr) {
    return;  // the listing is a diagnostic; the load goes on without it
  }
  WriteEntityListing(out, listing_);
  std::fclose(out);
}

SaveStatus DrawingFile::Save(const std::string& path, const platform::WriteOptions& options) {
  if (!loaded_ || !IsWhole()) {
    return {SaveResult::NothingLoaded, 0, {}};  // never replace a file with an empty or partial one
  }
  platform::SafeFileWriter writer;
  if (SaveStatus begun = writer.Begin(path, options); !begun.Saved()) {
    return begun;
  }
  return SaveWith(writer, path);
}

SaveStatus DrawingFile::SaveWith(platform::SafeFileWriter& writer, const std::string& path) {
  if (!loaded_ || !IsWhole()) {
    writer.Abandon();
    return {SaveResult::NothingLoaded, 0, {}};
  }
  // Entities refer into the loaded file: overwriting that very file in place would change them
  // under the writer's feet, so they get a copy of their own first. (A new file renamed over it
  // leaves the mapped one as it was.)
  if (writer.WritesInPlace() && bytes_.Maps(path) && !DetachFromFile()) {
    writer.Abandon();
    return {SaveResult::WriteFailed, ENOMEM, {}};
  }
  WriteTo(writer);  // a failed write shows in Commit
  SaveStatus committed = writer.Commit();
  if (committed.Saved()) {
    modified_ = false;
  }
  return committed;
}

namespace {

// Joins byte ranges that follow each other in memory into one write: entities that still lie
// where the file had them go out as one large write, straight from the loaded bytes - or, where
// nothing has written into them, copied from the file itself (see OutputFile::WriteFromView).
class JoiningWriter {
 public:
  // Where the bytes of an entity are: in memory only, in the loaded file at the same place, or
  // already where they go in the output.
  enum class Source { Memory, File, Placed };

  JoiningWriter(OutputFile& out, const platform::MemoryMap& loaded) : out_(out), loaded_(loaded) {}
  void Add(std::span<const std::uint8_t> bytes, Source source) {
    if (source == Source::Placed) {
      Flush();  // passed over only as the very bytes placed
      complete_ = out_.WritePlaced(bytes) && complete_;
      return;
    }
    if (!pending_.empty() && pending_.data() + pending_.size() == bytes.data() &&
        source == pendingSource_) {
      pending_ = {pending_.data(), pending_.size() + bytes.size()};
      return;
    }
    Flush();
    pending_ = bytes;
    pendingSource_ = source;
  }
  bool Finish() {
    Flush();
    return complete_;
  }

 private:
  void Flush() {
    if (!pending_.empty()) {
      complete_ = (pendingSource_ == Source::File ? out_.WriteFromView(pending_, loaded_)
                                                  : out_.Write(pending_.data(), pending_.size())) &&
                  complete_;
      pending_ = {};
    }
  }

  OutputFile& out_;
  const platform::MemoryMap& loaded_;
  std::span<const std::uint8_t> pending_;
  Source pendingSource_ = Source::Memory;
  bool complete_ = true;
};

}  // namespace

bool DrawingFile::WouldWriteLoadedFile(std::span<const std::uint8_t> file) const {
  if (!IsWhole()) {
    return false;
  }
  const std::array lists = {&typeZeroEntities_, &symbolDefs_, &otherEntities_};
  std::size_t total = header_.size();
  for (const EntityList* list : lists) {
    for (int i = 0; i < list->GetSize(); ++i) {
      total += list->GetAt(i).Length();
    }
  }
  if (total != file.size() || !std::equal(header_.begin(), header_.end(), file.begin())) {
    return false;
  }
  // An entity that still refers to the loaded bytes at its own offset, never written into, holds
  // the file's bytes there: a page of the mapping nobody wrote is the file's, and one copied on
  // write (or the whole copy Detach made) was copied from it.
  const std::uint8_t* const loaded = bytes_.Data();
  std::size_t at = header_.size();
  for (const EntityList* list : lists) {
    for (int i = 0; i < list->GetSize(); ++i) {
      const Entity& entity = list->GetAt(i);
      const std::span<const std::uint8_t> bytes = entity.Bytes();
      const bool inPlace = loaded != nullptr && bytes.data() == loaded + at;
      if ((!inPlace || entity.EditedInPlace()) &&
          !std::equal(bytes.begin(), bytes.end(), file.begin() + static_cast<std::ptrdiff_t>(at))) {
        return false;
      }
      at += bytes.size();
    }
  }
  return true;
}

bool DrawingFile::WriteTo(OutputFile& out) const {
  if (!IsWhole()) {
    return false;
  }
  JoiningWriter writer(out, bytes_);
  writer.Add(header_, JoiningWriter::Source::Memory);
  const std::uint8_t* const loaded = bytes_.Data();
  const std::uint8_t* const loadedEnd = loaded + bytes_.Size();
  for (const EntityList* list : {&typeZeroEntities_, &symbolDefs_, &otherEntities_}) {
    for (int i = 0; i < list->GetSize(); ++i) {
      const Entity& entity = list->GetAt(i);
      const std::span<const std::uint8_t> bytes = entity.Bytes();
      // Bytes of the loaded file that no edit has touched are still the file's own.
      const bool fileBytes = loaded != nullptr && std::less_equal<>()(loaded, bytes.data()) &&
                             std::less_equal<>()(bytes.data() + bytes.size(), loadedEnd) &&
                             !entity.EditedInPlace();
      using Source = JoiningWriter::Source;
      writer.Add(bytes, entity.PlacedAhead() ? Source::Placed
                        : fileBytes          ? Source::File
                                             : Source::Memory);
    }
  }
  return writer.Finish();
}

std::size_t DrawingFile::SymbolsEnd() const {
  return SymbolOffset(symbolDefs_.GetSize());
}

std::size_t DrawingFile::SymbolOffset(int index) const {
  // Save writes the header, the type 0 records, then the definitions.
  std::size_t offset = header_.size();
  for (int i = 0; i < typeZeroEntities_.GetSize(); ++i) {
    offset += typeZeroEntities_.GetAt(i).Length();
  }
  for (int i = 0; i < index && i < symbolDefs_.GetSize(); ++i) {
    offset += symbolDefs_.GetAt(i).Length();
  }
  return offset;
}

void DrawingFile::Reset() {
  loaded_ = false;
  scope_ = Scope::Everything;
  header_.clear();
  header_.shrink_to_fit();
  listing_.clear();
  listing_.shrink_to_fit();
  typeZeroEntities_.DeleteAll();
  symbolDefs_.DeleteAll();
  otherEntities_.DeleteAll();
  // The entities are gone, so the memory they lived in and the bytes they referred to can go.
  arena_.release();
  bytes_.Unmap();
  damage_.reset();
  modified_ = false;
}

void DrawingFile::SwapSymbols(int first, int second) {
  symbolDefs_.Swap(first, second);
  modified_ = true;
}

int DrawingFile::AddSymbol(std::unique_ptr<SymbolDef> definition) {
  if (!definition) {
    throw std::invalid_argument("no definition");
  }
  const int index = symbolDefs_.Add(std::move(definition));
  modified_ = true;
  return index;
}

void DrawingFile::AssignSymbol(int index, const Entity& source) {
  Entity& definition = symbolDefs_.GetAt(index);
  if (source.GetType() != kTypeSymbolDef) {
    throw std::invalid_argument("not a definition");
  }
  definition.Assign(source);
  modified_ = true;
}

std::string DrawingFile::SetSymbolName(int index, std::string_view newName) {
  // SymbolDefs holds definitions only, so every entry has a name.
  std::string oldName = symbolDefs_.GetAt(index).AsNamed()->SetName(newName);
  modified_ = true;
  return oldName;
}

void DrawingFile::RemoveSymbol(int index) {
  symbolDefs_.RemoveAt(index);  // the removed definition is destroyed here
  modified_ = true;
}

void DrawingFile::ReorderSymbols(std::span<const int> order) {
  const auto size = static_cast<std::size_t>(symbolDefs_.GetSize());
  std::vector<bool> seen(size, false);
  if (order.size() != size) {
    throw std::invalid_argument("not a permutation");
  }
  for (const int from : order) {
    if (from < 0 || static_cast<std::size_t>(from) >= size ||
        seen[static_cast<std::size_t>(from)]) {
      throw std::invalid_argument("not a permutation");
    }
    seen[static_cast<std::size_t>(from)] = true;
  }
  if (order.empty()) {
    return;  // no definitions: RemoveAt would refuse index 0
  }
  std::vector<std::unique_ptr<Entity>> entries = symbolDefs_.RemoveAt(0, symbolDefs_.GetSize());
  for (const int from : order) {
    symbolDefs_.Add(std::move(entries[static_cast<std::size_t>(from)]));
  }
  modified_ = true;
}

int DrawingFile::KeepSymbols(const std::vector<bool>& kept) {
  if (kept.size() != static_cast<std::size_t>(symbolDefs_.GetSize())) {
    throw std::invalid_argument("one flag per definition");
  }
  if (kept.empty()) {
    return 0;  // no definitions: RemoveAt would refuse index 0
  }
  std::vector<std::unique_ptr<Entity>> entries = symbolDefs_.RemoveAt(0, symbolDefs_.GetSize());
  int removed = 0;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (kept[i]) {
      symbolDefs_.Add(std::move(entries[i]));
    } else {
      ++removed;
    }
  }
  modified_ = modified_ || removed > 0;
  return removed;
}

bool DrawingFile::SetModified(bool value) {
  return std::exchange(modified_, value);
}

int DrawingFile::RemoveReferences(std::string_view name) {
  auto matches = [name](const Entity& entity) {
    const NamedEntity* reference = entity.AsNamed();
    return reference != nullptr && entity.GetType() == kTypeSymbolRef &&
           reference->NameView() == name;
  };
  int count = 0;
  for (int i = 0; i < otherEntities_.GetSize(); ++i) {
    count += matches(otherEntities_.GetAt(i)) ? 1 : 0;
  }
  if (count == 0) {
    return 0;
  }
  // One pass that keeps the rest in order. Taking the references out one at a time moves every
  // later entry each time, which is quadratic: a symbol placed 100,000 times among other records
  // took seconds, and half a million took minutes.
  std::vector<std::unique_ptr<Entity>> entries =
      otherEntities_.RemoveAt(0, otherEntities_.GetSize());
  for (std::unique_ptr<Entity>& entry : entries) {
    if (!matches(*entry)) {
      otherEntities_.Add(std::move(entry));
    }
  }
  // The references left in `entries` are destroyed here.
  modified_ = true;
  return count;
}

int DrawingFile::RenameReferences(std::string_view oldName, std::string_view newName) {
  int count = 0;
  for (EntityList* list : {&typeZeroEntities_, &symbolDefs_, &otherEntities_}) {
    for (int i = list->GetSize() - 1; i >= 0; --i) {
      Entity& entity = list->GetAt(i);
      NamedEntity* named = entity.AsNamed();
      if (named != nullptr && named->IsNamed(oldName) && entity.GetType() == kTypeSymbolRef) {
        named->SetName(newName);
        ++count;
      }
      count += entity.RenameNestedReferences(oldName, newName);
    }
  }
  if (count > 0) {
    modified_ = true;
  }
  return count;
}

}  // namespace runebin
