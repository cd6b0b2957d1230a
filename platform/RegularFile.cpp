#include "platform/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace runebin::platform {

int OpenRegularFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) {
    return -1;
  }
  struct stat info {};
  const bool statFailed = ::fstat(fd, &info) != 0;
  if (statFailed || !S_ISREG(info.st_mode)) {
    const int error = statFailed ? errno : ENODEV;
    ::close(fd);
    errno = error;
    return -1;
  }
  // Reads of a regular file never wait for another process; blocking mode only keeps short reads
  // meaning the end of the file.
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    const int error = errno;
    ::close(fd);
    errno = error;
    return -1;
  }
  return fd;
}

}  // namespace runebin::platform
