#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/FileNames.h"
#include "platform/RegularFile.h"

namespace runebin::platform {

// Windows opens a pipe or device by path without waiting, but only a regular file is a drawing or
// a metafile: anything else (a folder, a device, a pipe) is refused.
int OpenRegularFile(const std::string& path) {
  const int fd = ::_wopen(Widen(path).c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
  if (fd < 0) {
    return -1;
  }
  struct _stat64 info {};
  const bool statFailed = ::_fstat64(fd, &info) != 0;
  if (statFailed || (info.st_mode & _S_IFMT) != _S_IFREG) {
    const int error = statFailed ? errno : ENODEV;
    ::_close(fd);
    errno = error;
    return -1;
  }
  return fd;
}

}  // namespace runebin::platform
