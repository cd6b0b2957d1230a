#include "platform/MemoryMap.h"

#include <sys/mman.h>
#include <unistd.h>

#include <utility>

namespace runebin::platform {

MemoryMap::~MemoryMap() {
  Unmap();
}

bool MemoryMap::Map(int fd, std::int64_t size) {
  Unmap();
  if (size <= 0 || static_cast<std::uint64_t>(size) > SIZE_MAX) {
    return false;
  }
  void* view = ::mmap(nullptr, static_cast<std::size_t>(size), PROT_READ, MAP_PRIVATE, fd, 0);
  if (view == MAP_FAILED) {
    return false;
  }
  // The loader walks the file once from front to back.
  ::madvise(view, static_cast<std::size_t>(size), MADV_SEQUENTIAL | MADV_WILLNEED);
  data_ = static_cast<const std::uint8_t*>(view);
  size_ = size;
  released_ = 0;
  return true;
}

void MemoryMap::Release(std::int64_t offset) {
  static const std::int64_t page = ::sysconf(_SC_PAGESIZE);
  const std::int64_t chunk = 64 * page;
  if (data_ == nullptr || offset > size_) {
    return;
  }
  const std::int64_t end = offset / chunk * chunk;
  if (end - released_ < chunk) {
    return;
  }
  // Dropping pages of a private read-only file mapping only discards our view of them; the bytes
  // are read again from the file if touched.
  ::madvise(const_cast<std::uint8_t*>(data_) + released_, static_cast<std::size_t>(end - released_),
            MADV_DONTNEED);
  released_ = end;
}

bool MemoryMap::Unmap() {
  if (data_ == nullptr) {
    return true;
  }
  void* view = const_cast<std::uint8_t*>(std::exchange(data_, nullptr));
  const auto size = static_cast<std::size_t>(std::exchange(size_, 0));
  released_ = 0;
  return ::munmap(view, size) == 0;
}

}  // namespace runebin::platform
