#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <utility>

#include "platform/FileNames.h"
#include "platform/LockedFile.h"

namespace runebin::platform {

// On Windows the lock is the share mode: the file is opened with no sharing at all, so while we
// hold it no other program can open it, and a file another program has open cannot be opened
// here. The handle is wrapped in a C runtime descriptor so that the interface stays the same.

LockedFile::~LockedFile() {
  Close();
}

LockedFile::LockedFile(LockedFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), size_(std::exchange(other.size_, 0)) {}

LockedFile& LockedFile::operator=(LockedFile&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

bool LockedFile::OpenForReading(const std::string& path) {
  Close();
  HANDLE handle = ::CreateFileW(Widen(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    return false;
  }
  // Only regular files on disk are drawings (not consoles, pipes or devices).
  LARGE_INTEGER size{};
  if (::GetFileType(handle) != FILE_TYPE_DISK || !::GetFileSizeEx(handle, &size)) {
    ::CloseHandle(handle);
    return false;
  }
  const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
  if (fd < 0) {
    ::CloseHandle(handle);
    return false;
  }
  fd_ = fd;
  size_ = size.QuadPart;
  return true;
}

bool LockedFile::Close() {
  if (fd_ < 0) {
    return true;
  }
  const int fd = std::exchange(fd_, -1);
  size_ = 0;
  // Closing the descriptor closes the handle, which ends the no-sharing hold.
  return ::_close(fd) == 0;
}

}  // namespace runebin::platform
