#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <utility>

#include "platform/FileNames.h"
#include "platform/LockedFile.h"

// On Windows the lock is the share mode: the file is opened with no sharing at all, so while we
// hold it no other program can open it, and a file another program has open cannot be opened
// here (a sharing violation). Opening by name and holding are one step, so the held file is the
// one the path names. The handle is wrapped in a C runtime descriptor, as the interface has it.

namespace runebin::platform {

LockResult LockedFile::OpenForReading(const std::string& path) {
  Close();
  HANDLE handle = ::CreateFileW(Widen(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ? LockResult::InUse
                                                                             : LockResult::Failed;
  }
  // Only regular files on disk are drawings (not consoles, pipes or devices).
  const std::optional<FileIdentity> identity =
      ::GetFileType(handle) == FILE_TYPE_DISK
          ? IdentityOfOpenFile(reinterpret_cast<std::intptr_t>(handle))
          : std::nullopt;
  const int fd =
      identity ? ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY) : -1;
  if (fd < 0) {
    ::CloseHandle(handle);
    return LockResult::Failed;
  }
  fd_ = fd;
  identity_ = *identity;
  return LockResult::Locked;
}

bool LockedFile::Close() {
  if (fd_ < 0) {
    return true;
  }
  const int fd = std::exchange(fd_, -1);
  identity_ = {};
  // Closing the descriptor closes the handle, which ends the no-sharing hold.
  return ::_close(fd) == 0;
}

}  // namespace runebin::platform
