#include "model/DrawingFile.h"

#include <algorithm>
#include <cstdio>
#include <new>
#include <unordered_map>
#include <utility>

#include "model/Format.h"
#include "model/MappedFile.h"
#include "model/NamedEntity.h"
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

int DrawingFile::Load(const std::string& path) {
  if (loaded_) {
    Reset();
  }
  MappedFile file;
  if (file.Open(path) != 0) {
    return LoadOpenFailed;
  }
  const int result = LoadView(file.View(), &file);
  file.Close();
  if (result == 0) {
    WriteListing();
  }
  return result;
}

int DrawingFile::LoadFromMemory(std::span<const std::uint8_t> bytes) {
  if (loaded_) {
    Reset();
  }
  return LoadView(bytes, nullptr);
}

int DrawingFile::LoadView(std::span<const std::uint8_t> view, MappedFile* file) {
  if (const int refused = CheckHeader(view); refused != 0) {
    return refused;
  }
  try {
    // A file shorter than the header reads as if padded with zeros.
    header_.assign(kHeaderSize, 0);
    std::copy_n(view.begin(), std::min(view.size(), kHeaderSize), header_.begin());
    if (view.size() > kHeaderSize && !ReadBody(view.subspan(kHeaderSize), file)) {
      Reset();
      return LoadOpenFailed;
    }
    CountSymbolUses();
  } catch (const std::bad_alloc&) {
    Reset();
    return LoadOpenFailed;
  }
  loaded_ = true;
  modified_ = false;
  return 0;
}

int DrawingFile::CheckHeader(std::span<const std::uint8_t> view) {
  auto byteAt = [view](std::size_t offset) -> std::uint8_t {
    return offset < view.size() ? view[offset] : 0;
  };
  for (std::size_t i = 0; i < kSignature.size(); ++i) {
    if (byteAt(i) != static_cast<std::uint8_t>(kSignature[i])) {
      return LoadNotDrawing;
    }
  }
  if (byteAt(kVersionOffset) != kSupportedVersion) {
    return LoadWrongVersion;
  }
  if (byteAt(kCompressedFlagOffset) != 0) {
    return LoadCompressed;
  }
  return 0;
}

// Walks the body one top-level record at a time. A record that cannot be framed (length below 5,
// running past the end, or a group that never closes) makes the rest of the body one
// UnreadableTail: no byte is dropped, and the walk always ends. Returns false only when memory
// runs out.
bool DrawingFile::ReadBody(std::span<const std::uint8_t> body, MappedFile* file) {
  std::size_t offset = 0;
  while (offset < body.size()) {
    const auto rest = body.subspan(offset);
    std::unique_ptr<Entity> entity = CreateEntity(rest);
    if (entity->Length() == 0) {
      if (TopLevelExtent(rest) != 0) {
        return false;  // well formed, so the copy failed for want of memory
      }
      entity = std::make_unique<UnreadableTail>();
      if (entity->Parse(rest) != 0) {
        return false;
      }
      listing_.push_back({static_cast<std::uint8_t>(entity->GetType()), 0});
      otherEntities.Add(std::move(entity));
      return true;
    }
    const int type = entity->GetType();
    const auto bytes = entity->Bytes();
    const std::uint8_t subtype =
        type == kTypeZero && bytes.size() > kSubtypeOffset ? bytes[kSubtypeOffset] : 0;
    listing_.push_back({static_cast<std::uint8_t>(type), subtype});
    offset += entity->Length();
    if (type == kTypeZero) {
      typeZeroEntities.Add(std::move(entity));
    } else if (type == kTypeSymbolDef) {
      symbolDefs.Add(std::move(entity));
    } else {
      otherEntities.Add(std::move(entity));
    }
    if (file != nullptr) {
      file->ReleaseBefore(static_cast<std::int64_t>(kHeaderSize + offset));
    }
  }
  return true;
}

void DrawingFile::WriteListing() const {
  if (listingPath_.empty()) {
    return;
  }
  // Text mode: the lines end as the platform's text files do.
  std::FILE* out = std::fopen(listingPath_.c_str(), "w");
  if (out == nullptr) {
    return;  // the listing is a diagnostic; the load goes on without it
  }
  WriteEntityListing(out, listing_);
  std::fclose(out);
}

// A reference counts for the last definition of its name, as FindByName would find it; one map
// from name to that definition makes the count linear in the number of entities.
void DrawingFile::CountSymbolUses() {
  std::unordered_map<std::string, Entity*> lastDefinition;
  lastDefinition.reserve(static_cast<std::size_t>(symbolDefs.GetSize()));
  for (int i = 0; i < symbolDefs.GetSize(); ++i) {
    Entity& definition = symbolDefs.GetAt(i);
    lastDefinition[definition.AsNamed()->GetName()] = &definition;
  }
  for (int i = 0; i < otherEntities.GetSize(); ++i) {
    const Entity& entity = otherEntities.GetAt(i);
    const NamedEntity* reference = entity.AsNamed();
    if (reference == nullptr || entity.GetType() != kTypeSymbolRef) {
      continue;
    }
    if (const auto found = lastDefinition.find(reference->GetName());
        found != lastDefinition.end()) {
      ++found->second->useCount;
    }
  }
}

int DrawingFile::Save(const std::string& path) {
  if (!loaded_) {
    return SaveFailed;  // nothing to write; never replace a file with an empty one
  }
  platform::SafeFileWriter writer;
  if (!writer.Begin(path)) {
    return SaveFailed;
  }
  if (!WriteTo(writer) || !writer.Commit()) {
    writer.Abandon();
    return SaveFailed;
  }
  modified_ = false;
  return 0;
}

bool DrawingFile::WriteTo(OutputFile& out) const {
  bool complete = out.Write(header_.data(), header_.size());
  for (const EntityList* list : {&typeZeroEntities, &symbolDefs, &otherEntities}) {
    complete = complete && list->WriteAll(out) == list->GetSize();
  }
  return complete;
}

int DrawingFile::Reset() {
  loaded_ = false;
  header_.clear();
  header_.shrink_to_fit();
  listing_.clear();
  listing_.shrink_to_fit();
  typeZeroEntities.DeleteAll();
  symbolDefs.DeleteAll();
  otherEntities.DeleteAll();
  modified_ = false;
  return 0;
}

bool DrawingFile::SetModified(bool value) {
  return std::exchange(modified_, value);
}

int DrawingFile::RemoveReferences(std::string_view name) {
  auto matches = [name](const Entity& entity) {
    const NamedEntity* reference = entity.AsNamed();
    return reference != nullptr && entity.GetType() == kTypeSymbolRef &&
           reference->GetName() == name;
  };
  int count = 0;
  for (int i = 0; i < otherEntities.GetSize(); ++i) {
    count += matches(otherEntities.GetAt(i)) ? 1 : 0;
  }
  if (count == 0) {
    return 0;
  }
  // One pass that keeps the rest in order. Taking the references out one at a time moves every
  // later entry each time, which is quadratic: a symbol placed 100,000 times among other records
  // took seconds, and half a million took minutes.
  std::vector<std::unique_ptr<Entity>> entries = otherEntities.RemoveAt(0, otherEntities.GetSize());
  for (std::unique_ptr<Entity>& entry : entries) {
    if (!matches(*entry)) {
      otherEntities.Add(std::move(entry));
    }
  }
  // The references left in `entries` are destroyed here.
  modified_ = true;
  return count;
}

int DrawingFile::RenameReferences(std::string_view oldName, std::string_view newName) {
  int count = 0;
  for (EntityList* list : {&typeZeroEntities, &symbolDefs, &otherEntities}) {
    for (int i = list->GetSize() - 1; i >= 0; --i) {
      Entity& entity = list->GetAt(i);
      NamedEntity* named = entity.AsNamed();
      if (named != nullptr && entity.GetType() == kTypeSymbolRef && named->GetName() == oldName) {
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
