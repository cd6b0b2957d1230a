#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <utility>

#include "platform/FileNames.h"
#include "platform/LargeMemory.h"
#include "platform/MemoryMap.h"

// On Windows the file is read once into memory of our own rather than mapped. A view of a file
// keeps that file in use until it is unmapped, so that replacing the file while a document is
// open would fail; a copy leaves the file free from the moment the loader closes it, and makes
// Detach and Release no-ops. The file's identity (volume serial number and file index) is kept
// for Maps.

namespace runebin::platform {
namespace {

constexpr DWORD kLargestRead = 1U << 30;

bool IdentityOf(HANDLE file, std::uint64_t& volume, std::uint64_t& index) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(file, &info)) {
    return false;
  }
  volume = info.dwVolumeSerialNumber;
  index = static_cast<std::uint64_t>(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
  return true;
}

bool ReadFully(HANDLE file, std::uint8_t* bytes, std::size_t size) {
  while (size > 0) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, kLargestRead));
    DWORD read = 0;
    if (!::ReadFile(file, bytes, chunk, &read, nullptr) || read == 0) {
      return false;  // an error, or the file is shorter than it was when opened
    }
    bytes += read;
    size -= read;
  }
  return true;
}

}  // namespace

bool MemoryMap::Map(int fd, std::int64_t size, bool /*readAhead*/) {
  Unmap();
  const auto file = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
  std::uint64_t volume = 0, index = 0;
  LARGE_INTEGER start{};
  if (size <= 0 || static_cast<std::uint64_t>(size) > SIZE_MAX || file == INVALID_HANDLE_VALUE ||
      !IdentityOf(file, volume, index) || !::SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) {
    return false;
  }
  if (!Allocate(static_cast<std::size_t>(size))) {
    return false;
  }
  if (!ReadFully(file, data_, static_cast<std::size_t>(size))) {
    Unmap();
    return false;
  }
  mapsFile_ = true;
  device_ = volume;
  inode_ = index;
  return true;
}

// The bytes are our own; there is nothing to give back while the loader walks them.
void MemoryMap::Release(std::int64_t) {}

std::size_t MemoryMap::ReadAt(std::int64_t, std::span<std::uint8_t>) const {
  return 0;
}

bool MemoryMap::Detach(bool) {
  mapsFile_ = false;
  return true;
}

bool MemoryMap::Maps(const std::string& path) const {
  if (!mapsFile_) {
    return false;
  }
  HANDLE file =
      ::CreateFileW(Widen(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return false;
  }
  std::uint64_t volume = 0, index = 0;
  const bool same = IdentityOf(file, volume, index) && volume == device_ && index == inode_;
  ::CloseHandle(file);
  return same;
}

bool MemoryMap::Unmap() {
  if (data_ != nullptr) {
    FreeBytes(std::exchange(data_, nullptr), static_cast<std::size_t>(size_));
  }
  size_ = 0;
  released_ = 0;
  mapsFile_ = false;
  return true;
}

}  // namespace runebin::platform
