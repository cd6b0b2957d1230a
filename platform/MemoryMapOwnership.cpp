// What a view does the same way on every system: memory of our own instead of a mapping, and
// ownership (destroying unmaps, moving hands the view over and leaves the source empty).

#include <utility>

#include "platform/LargeMemory.h"
#include "platform/MemoryMap.h"

namespace runebin::platform {

bool MemoryMap::Allocate(std::size_t size) {
  Unmap();
  data_ = AllocateBytes(size);
  if (data_ == nullptr) {
    return false;
  }
  size_ = static_cast<std::int64_t>(size);
  return true;
}

MemoryMap::~MemoryMap() {
  Unmap();
}

MemoryMap::MemoryMap(MemoryMap&& other) noexcept {
  *this = std::move(other);
}

MemoryMap& MemoryMap::operator=(MemoryMap&& other) noexcept {
  if (this != &other) {
    Unmap();
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    released_ = std::exchange(other.released_, 0);
    mapped_ = std::exchange(other.mapped_, false);
    mapsFile_ = std::exchange(other.mapsFile_, false);
    copySource_ = std::exchange(other.copySource_, -1);
    device_ = other.device_;
    inode_ = other.inode_;
  }
  return *this;
}

}  // namespace runebin::platform
