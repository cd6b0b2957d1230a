#include "platform/MemoryMap.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/LargeMemory.h"

namespace runebin::platform {

bool MemoryMap::Map(int fd, std::int64_t size, bool readAhead) {
  Unmap();
  struct stat info {};
  if (size <= 0 || static_cast<std::uint64_t>(size) > SIZE_MAX || ::fstat(fd, &info) != 0) {
    return false;
  }
  // Private and writable: renaming writes into our copy of a page, never into the file.
  void* view =
      ::mmap(nullptr, static_cast<std::size_t>(size), PROT_READ | PROT_WRITE, MAP_PRIVATE, fd, 0);
  if (view == MAP_FAILED) {
    return false;
  }
  if (readAhead) {
    // The loader walks the file once from front to back.
    ::madvise(view, static_cast<std::size_t>(size), MADV_SEQUENTIAL);
    ::madvise(view, static_cast<std::size_t>(size), MADV_WILLNEED);
  }
  // Without a descriptor of its own, writing the file's bytes elsewhere reads them through the
  // view; that works too, only slower.
  copySource_ = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
  data_ = static_cast<std::uint8_t*>(view);
  size_ = size;
  released_ = 0;
  mapped_ = true;
  mapsFile_ = true;
  device_ = info.st_dev;
  inode_ = info.st_ino;
  return true;
}

void MemoryMap::Release(std::int64_t offset) {
  static const std::int64_t page = ::sysconf(_SC_PAGESIZE);
  // In steps of 8 MiB: each call costs a flush of the address translations.
  const std::int64_t chunk = 2048 * page;
  if (!mapsFile_ || offset > size_) {
    return;
  }
  const std::int64_t end = offset / chunk * chunk;
  if (end - released_ < chunk) {
    return;
  }
  // Dropping unwritten pages of a private file mapping only discards our view of them; the bytes
  // are read again from the file if touched.
  ::madvise(data_ + released_, static_cast<std::size_t>(end - released_), MADV_DONTNEED);
  released_ = end;
}

std::size_t MemoryMap::ReadAt(std::int64_t offset, std::span<std::uint8_t> into) const {
  if (CopySource() < 0) {
    return 0;
  }
  std::size_t got = 0;
  while (got < into.size()) {
    const ssize_t step = ::pread(copySource_, into.data() + got, into.size() - got,
                                 static_cast<off_t>(offset) + static_cast<off_t>(got));
    if (step < 0 && errno == EINTR) {
      continue;
    }
    if (step <= 0) {
      break;
    }
    got += static_cast<std::size_t>(step);
  }
  return got;
}

bool MemoryMap::Detach(bool unwritten) {
  if (!mapsFile_) {
    return true;
  }
  static const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  const std::size_t length = (static_cast<std::size_t>(size_) + page - 1) / page * page;
  void* copy = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (copy == MAP_FAILED) {
    return false;
  }
  // Huge pages where the system has them: a fresh page costs a fault, 512 times fewer of them.
  ::madvise(copy, length, MADV_HUGEPAGE);
  const std::span<std::uint8_t> bytes(static_cast<std::uint8_t*>(copy),
                                      static_cast<std::size_t>(size_));
  if (!unwritten) {
    std::memcpy(bytes.data(), data_, bytes.size());  // the view holds bytes the file lacks
  } else if (ReadAt(0, bytes) != bytes.size()) {
    // Read from the file, nothing faults the view in; a file cut short cannot be copied whole.
    ::munmap(copy, length);
    return false;
  }
  // The copy takes the mapping's place, so pointers into the view stay valid.
  if (::mremap(copy, length, length, MREMAP_MAYMOVE | MREMAP_FIXED, data_) == MAP_FAILED) {
    ::munmap(copy, length);
    return false;
  }
  mapsFile_ = false;
  CloseCopySource();
  return true;
}

void MemoryMap::CloseCopySource() {
  if (copySource_ >= 0) {
    ::close(std::exchange(copySource_, -1));
  }
}

bool MemoryMap::Maps(const std::string& path) const {
  struct stat info {};
  return mapsFile_ && ::stat(path.c_str(), &info) == 0 && info.st_dev == device_ &&
         info.st_ino == inode_;
}

bool MemoryMap::Unmap() {
  if (data_ == nullptr) {
    return true;
  }
  std::uint8_t* view = std::exchange(data_, nullptr);
  const auto size = static_cast<std::size_t>(std::exchange(size_, 0));
  released_ = 0;
  mapsFile_ = false;
  CloseCopySource();
  if (!std::exchange(mapped_, false)) {
    FreeBytes(view, size);
    return true;
  }
  return ::munmap(view, size) == 0;
}

}  // namespace runebin::platform
