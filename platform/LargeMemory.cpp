#include "platform/LargeMemory.h"

#include <cstdio>
#include <cstring>

#ifndef _WIN32
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace runebin::platform {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

#ifndef _WIN32
std::size_t PageRounded(std::size_t size) {
  static const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  return (size + page - 1) / page * page;
}

// Maps `size` bytes at a 2 MiB boundary, so that the kernel can back them with huge pages from
// the first touch: it maps 2 MiB more than asked and gives back the unaligned ends.
std::uint8_t* MapAligned(std::size_t size) {
  const std::size_t length = PageRounded(size);
  if (length > SIZE_MAX - kHugePage) {
    return nullptr;
  }
  void* reserved = ::mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE,
                          MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (reserved == MAP_FAILED) {
    return nullptr;
  }
  auto* start = static_cast<std::uint8_t*>(reserved);
  const auto address = reinterpret_cast<std::uintptr_t>(start);
  const std::size_t head = (kHugePage - address % kHugePage) % kHugePage;
  if (head > 0) {
    ::munmap(start, head);
  }
  ::munmap(start + head + length, kHugePage - head);
  if (size >= kHugePage) {
    ::madvise(start + head, length, MADV_HUGEPAGE);
  }
  return start + head;
}
#endif

}  // namespace

bool UnwrittenRoomIsFree() noexcept {
#ifdef _WIN32
  return false;
#else
  // Mode 2 of /proc/sys/vm/overcommit_memory counts every writable mapping in full.
  static const bool free = [] {
    std::FILE* mode = std::fopen("/proc/sys/vm/overcommit_memory", "r");
    if (mode == nullptr) {
      return true;  // not Linux, or no /proc: address space costs nothing until touched
    }
    const int first = std::fgetc(mode);
    std::fclose(mode);
    return first != '2';
  }();
  return free;
#endif
}

std::uint8_t* AllocateBytes(std::size_t size) noexcept {
#ifndef _WIN32
  if (size >= kLargeBlock) {
    return MapAligned(size);
  }
#endif
  return static_cast<std::uint8_t*>(::operator new(size == 0 ? 1 : size, std::nothrow));
}

void FreeBytes(std::uint8_t* bytes, [[maybe_unused]] std::size_t size) noexcept {
  if (bytes == nullptr) {
    return;
  }
#ifndef _WIN32
  if (size >= kLargeBlock) {
    ::munmap(bytes, PageRounded(size));
    return;
  }
#endif
  ::operator delete(bytes);
}

std::uint8_t* ShrinkBytes(std::uint8_t* bytes, std::size_t size, std::size_t newSize) noexcept {
#ifndef _WIN32
  if (newSize >= kLargeBlock && size >= kLargeBlock) {
    const std::size_t keep = PageRounded(newSize);
    if (keep < PageRounded(size)) {
      ::munmap(bytes + keep, PageRounded(size) - keep);
    }
    return bytes;
  }
#endif
  if (newSize == size) {
    return bytes;
  }
  std::uint8_t* smaller = AllocateBytes(newSize);
  if (smaller == nullptr) {
    return nullptr;
  }
  if (newSize > 0) {
    std::memcpy(smaller, bytes, newSize);
  }
  FreeBytes(bytes, size);
  return smaller;
}

bool ByteBuffer::Shrink(std::size_t newSize) {
  if (newSize >= size_) {
    return newSize == size_;
  }
  std::uint8_t* kept = ShrinkBytes(data_, size_, newSize);
  if (kept == nullptr) {
    return false;
  }
  data_ = kept;
  size_ = newSize;
  return true;
}

namespace {

class LargeMemoryResource final : public std::pmr::memory_resource {
  void* do_allocate(std::size_t bytes, std::size_t alignment) override {
    // Heap blocks are aligned for every fundamental type, system blocks to 2 MiB.
    if (alignment > alignof(std::max_align_t) && bytes < kLargeBlock) {
      bytes = kLargeBlock;
    }
    void* block = AllocateBytes(bytes);
    if (block == nullptr) {
      throw std::bad_alloc();
    }
    return block;
  }
  void do_deallocate(void* block, std::size_t bytes, std::size_t alignment) override {
    if (alignment > alignof(std::max_align_t) && bytes < kLargeBlock) {
      bytes = kLargeBlock;
    }
    FreeBytes(static_cast<std::uint8_t*>(block), bytes);
  }
  bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override {
    return this == &other;
  }
};

}  // namespace

std::pmr::memory_resource* LargeMemory() {
  static LargeMemoryResource resource;
  return &resource;
}

}  // namespace runebin::platform
