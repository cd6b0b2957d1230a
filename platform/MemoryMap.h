#pragma once

#include <cstddef>
#include <cstdint>

namespace runebin::platform {

// A read-only view of a whole open file. The view stays valid until Unmap or destruction, even if
// the descriptor it was made from is closed.
class MemoryMap {
 public:
  MemoryMap() = default;
  ~MemoryMap();
  MemoryMap(const MemoryMap&) = delete;
  MemoryMap& operator=(const MemoryMap&) = delete;

  // Maps `size` bytes of the file from offset 0. Fails for an empty file (nothing can be mapped).
  bool Map(int fd, std::int64_t size);
  // Tells the system that the bytes before `offset` will not be read again, so that a long walk
  // over a huge file does not keep every page it has passed resident.
  void Release(std::int64_t offset);
  bool Unmap();

  const std::uint8_t* Data() const { return data_; }
  std::int64_t Size() const { return size_; }

 private:
  const std::uint8_t* data_ = nullptr;
  std::int64_t size_ = 0;
  std::int64_t released_ = 0;
};

}  // namespace runebin::platform
