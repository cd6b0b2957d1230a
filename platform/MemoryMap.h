#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace runebin::platform {

// The bytes of a whole file as one private, writable block: a copy-on-write mapping of the file,
// or memory of our own holding a copy. Writing into the block never reaches the file; pages
// nobody wrote are read from the file when first touched. The view stays valid until Unmap or
// destruction, even if the descriptor it was made from is closed.
//
// While the view maps the file, the file must not shrink (touching a page past its new end ends
// the program) and changes other programs write into it show through in the pages we have not
// written; the lock the loader holds keeps well-behaved programs out. Detach ends both.
class MemoryMap {
 public:
  MemoryMap() = default;
  ~MemoryMap();
  MemoryMap(const MemoryMap&) = delete;
  MemoryMap& operator=(const MemoryMap&) = delete;
  MemoryMap(MemoryMap&& other) noexcept;
  MemoryMap& operator=(MemoryMap&& other) noexcept;

  // Maps `size` bytes of the file from offset 0. Fails for an empty file (nothing can be mapped).
  // `readAhead` tells the system the view will be walked front to back, to read it in meanwhile;
  // without it, pages are read only where touched.
  bool Map(int fd, std::int64_t size, bool readAhead = true);
  // Makes a block of `size` bytes of our own (not initialised) instead of a mapping.
  bool Allocate(std::size_t size);
  // Tells the system that the bytes before `offset` will not be read again for now, so that a long
  // walk over a huge file does not keep every page it has passed resident. Only for a mapping
  // nothing has written to yet: written pages would be lost.
  void Release(std::int64_t offset);
  // While the view maps a file: reads the file's bytes from `offset` on into `into` with the
  // system's read call, as many as there are; returns how many it read (fewer only at the end of
  // the file or on an error). A walk from front to back streams through a small buffer this way
  // several times faster than through the view, whose pages fault in one by one. Returns 0 when
  // the view does not map a file (read the view then).
  std::size_t ReadAt(std::int64_t offset, std::span<std::uint8_t> into) const;
  // When the view maps a file: copies it into memory of our own at the same address, so that the
  // view no longer depends on the file (for writing that file in place). `unwritten` says that
  // nobody has written into the view, so the copy may be read from the file itself. Returns false
  // when memory ran out or the file could not be read whole; the view is then unchanged.
  bool Detach(bool unwritten = false);
  // Whether the view maps the file at `path` (the same file, under any of its names).
  bool Maps(const std::string& path) const;
  bool Unmap();

  // While the view maps a file: a descriptor of that file, the view's own, from which the system
  // can copy the file's bytes straight into another file (see OutputFile::WriteFromView); -1
  // otherwise, and always on Windows.
  int CopySource() const { return mapsFile_ ? copySource_ : -1; }

  const std::uint8_t* Data() const { return data_; }
  std::span<std::uint8_t> Bytes() { return {data_, static_cast<std::size_t>(size_)}; }
  std::int64_t Size() const { return size_; }

 private:
  void CloseCopySource();

  std::uint8_t* data_ = nullptr;
  std::int64_t size_ = 0;
  std::int64_t released_ = 0;  // Release has let go of everything before this
  bool mapped_ = false;        // by mmap (the file, or its copy after Detach), else AllocateBytes
  bool mapsFile_ = false;
  int copySource_ = -1;  // closed when the view stops mapping the file
  std::uint64_t device_ = 0;
  std::uint64_t inode_ = 0;
};

}  // namespace runebin::platform
