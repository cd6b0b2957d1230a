#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <utility>

#include "platform/LockedFile.h"
#include "platform/MemoryMap.h"

namespace runebin {

// A read-only view of a whole file, held open and exclusively locked while mapped, so that no
// other program changes it under the loader.
class MappedFile {
 public:
  MappedFile() = default;
  ~MappedFile() { Close(); }
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  // Opens, locks and maps the file. Fails (holding nothing) when it is missing, not a regular
  // file, locked elsewhere (InUse) or cannot be mapped (an empty file cannot).
  platform::LockResult Open(const std::string& path);
  // Releases the view and the file.
  void Close();
  // Hands over the open, locked file (and drops the view if it was not taken).
  platform::LockedFile TakeFile();

  // Hands over the view; the file stays open and locked here.
  platform::MemoryMap TakeView() { return std::move(map_); }

  std::span<const std::uint8_t> View() const {
    return {map_.Data(), static_cast<std::size_t>(map_.Size())};
  }
  std::int64_t Size() const { return map_.Size(); }

 private:
  platform::LockedFile file_;
  platform::MemoryMap map_;
};

}  // namespace runebin
