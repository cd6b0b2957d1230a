#pragma once

#include <cstddef>
#include <cstdint>
#include <memory_resource>
#include <new>
#include <utility>

namespace runebin::platform {

// Memory for the big blocks of a document: its bytes, its entity arena, its lists and a large
// import. Blocks of kLargeBlock bytes and more come straight from the system, 2 MiB aligned, and
// ask for transparent huge pages where the system offers them: where every first touch of a 4 KiB
// page costs a fault (several microseconds on virtual machines), a 2 MiB page takes one fault for
// 512 of them. Smaller blocks come from the heap. Nothing is initialised.
inline constexpr std::size_t kLargeBlock = std::size_t{1} << 20;

// Whether a large block costs nothing but address space until its pages are first written (so
// that room reserved ahead is free where it is never filled). Not on Windows, which charges the
// whole block against the system's commit limit when it is allocated, nor on a Linux system set
// to strict overcommit accounting, which does the same.
bool UnwrittenRoomIsFree() noexcept;

// Null when memory runs out. Free with the size that was allocated (or shrunk to).
std::uint8_t* AllocateBytes(std::size_t size) noexcept;
void FreeBytes(std::uint8_t* bytes, std::size_t size) noexcept;
// Gives back the end of a block so that it holds `newSize` (at most its `size`) bytes; returns the
// block, which may have moved (then the first `newSize` bytes were copied), or null when memory
// ran out (the block is then unchanged).
std::uint8_t* ShrinkBytes(std::uint8_t* bytes, std::size_t size, std::size_t newSize) noexcept;

// An owned block from AllocateBytes.
class ByteBuffer {
 public:
  ByteBuffer() = default;
  // Empty (data() null) when memory runs out.
  explicit ByteBuffer(std::size_t size) : data_(AllocateBytes(size)), size_(data_ ? size : 0) {}
  ~ByteBuffer() { FreeBytes(data_, size_); }
  ByteBuffer(ByteBuffer&& other) noexcept
      : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}
  ByteBuffer& operator=(ByteBuffer&& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
    return *this;
  }

  std::uint8_t* data() const { return data_; }
  std::size_t size() const { return size_; }
  // Keeps the first `newSize` bytes. Returns false (unchanged) when memory ran out.
  bool Shrink(std::size_t newSize);
  // Hands the block over; the receiver frees it with FreeBytes(block, size()).
  std::uint8_t* Release() {
    size_ = 0;
    return std::exchange(data_, nullptr);
  }

 private:
  std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
};

// The same blocks as a memory resource, upstream of arenas (throws std::bad_alloc).
std::pmr::memory_resource* LargeMemory();

// And as an allocator, for vectors that grow to millions of entries.
template <typename T>
struct LargeAllocator {
  using value_type = T;
  LargeAllocator() = default;
  template <typename U>
  LargeAllocator(const LargeAllocator<U>&) noexcept {}
  T* allocate(std::size_t count) {
    if (count > SIZE_MAX / sizeof(T)) {
      throw std::bad_alloc();
    }
    void* block = AllocateBytes(count * sizeof(T));
    if (block == nullptr) {
      throw std::bad_alloc();
    }
    return static_cast<T*>(block);
  }
  void deallocate(T* block, std::size_t count) noexcept {
    FreeBytes(reinterpret_cast<std::uint8_t*>(block), count * sizeof(T));
  }
  template <typename U>
  bool operator==(const LargeAllocator<U>&) const noexcept {
    return true;
  }
};

}  // namespace runebin::platform
