#include "tests/support/UnwritableFolder.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace runebin::testing {

UnwritableFolder::UnwritableFolder(const std::string& path) : path_(path) {
  ::chmod(path.c_str(), 0555);
  if (::geteuid() == 0) {
    SetImmutable(true);
  }
}

UnwritableFolder::~UnwritableFolder() {
  SetImmutable(false);
  ::chmod(path_.c_str(), 0755);
}

bool UnwritableFolder::Works() const {
  const std::string probe = path_ + "/probe";
  const int fd = ::open(probe.c_str(), O_CREAT | O_WRONLY, 0644);
  if (fd >= 0) {
    ::close(fd);
    ::unlink(probe.c_str());
  }
  return fd < 0;
}

void UnwritableFolder::SetImmutable(bool on) {
  const int fd = ::open(path_.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) {
    return;
  }
  int flags = 0;
  if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
  }
  ::close(fd);
}

}  // namespace runebin::testing
