#include "platform/LockedFile.h"

#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/RegularFile.h"

namespace runebin::platform {

LockResult LockedFile::OpenForReading(const std::string& path) {
  Close();
  // Another program may replace the file between our open and our lock (a safe save renames a
  // new file over it); the lock then guards a file nobody will read again. A few rounds settle
  // any realistic race.
  for (int attempt = 0; attempt < 16; ++attempt) {
    // Only regular files are drawings; a pipe or device is refused without waiting for it.
    const int fd = OpenRegularFile(path);
    if (fd < 0) {
      return LockResult::Failed;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const bool inUse = errno == EWOULDBLOCK;
      ::close(fd);
      return inUse ? LockResult::InUse : LockResult::Failed;
    }
    const std::optional<FileIdentity> locked = IdentityOfOpenFile(fd);
    const std::optional<FileIdentity> named = IdentityOfPath(path);
    if (locked && named && locked->SameFile(*named)) {
      fd_ = fd;
      identity_ = *locked;  // taken under the lock: no one who honours it writes any more
      return LockResult::Locked;
    }
    ::close(fd);
  }
  return LockResult::Failed;
}

bool LockedFile::Close() {
  if (fd_ < 0) {
    return true;
  }
  const int fd = std::exchange(fd_, -1);
  identity_ = {};
  // Unlocked first: closing the descriptor alone keeps the lock while a mapping of the file
  // still refers to the open file.
  ::flock(fd, LOCK_UN);
  return ::close(fd) == 0;
}

}  // namespace runebin::platform
