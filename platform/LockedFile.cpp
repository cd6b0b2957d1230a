#include "platform/LockedFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace runebin::platform {

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
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    return false;
  }
  struct stat info {};
  // A directory or device opens fine with O_RDONLY; only regular files are drawings.
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  size_ = static_cast<std::int64_t>(info.st_size);
  return true;
}

bool LockedFile::Close() {
  if (fd_ < 0) {
    return true;
  }
  const int fd = std::exchange(fd_, -1);
  size_ = 0;
  // Unlocked first: closing the descriptor alone keeps the lock while a mapping of the file
  // still refers to the open file.
  ::flock(fd, LOCK_UN);
  return ::close(fd) == 0;
}

}  // namespace runebin::platform
