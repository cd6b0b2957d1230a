#include "platform/SafeFileWriter.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace runebin::platform {
namespace {

constexpr std::size_t kBufferSize = 1 << 20;

// Writing past a file-size limit raises SIGXFSZ, whose default action ends the program in the
// middle of a save. We want the write to fail with EFBIG instead, and report it.
void IgnoreFileSizeSignal() {
  static const bool done = [] {
    std::signal(SIGXFSZ, SIG_IGN);
    return true;
  }();
  (void)done;
}

std::string FolderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) {
    return ".";
  }
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string FileNameOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool WriteFully(int fd, const unsigned char* bytes, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, bytes, size);
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    if (written == 0) {
      return false;
    }
    bytes += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

// Makes the rename itself durable.
void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

}  // namespace

SafeFileWriter::~SafeFileWriter() {
  Abandon();
}

bool SafeFileWriter::Begin(const std::string& target) {
  Abandon();
  IgnoreFileSizeSignal();
  failed_ = false;
  buffered_ = 0;
  if (target.empty() || target.back() == '/') {
    return false;
  }
  // Through a symbolic link we replace the file it points to, not the link.
  target_ = target;
  if (char* resolved = ::realpath(target.c_str(), nullptr)) {
    target_ = resolved;
    std::free(resolved);
  }

  mode_t mode = 0666;
  struct stat info {};
  const bool exists = ::stat(target_.c_str(), &info) == 0;
  if (exists) {
    // Root may write anywhere, so permission checks alone would not stop it: a file whose owner
    // cannot write it is treated as read-only by everyone.
    if (!S_ISREG(info.st_mode) || (info.st_mode & S_IWUSR) == 0) {
      return false;
    }
    lockFd_ = ::open(target_.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (lockFd_ < 0 || ::flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
      Abandon();
      return false;
    }
    mode = info.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode &= ~mask;
  }

  temporary_ = FolderOf(target_) + "/." + FileNameOf(target_) + ".XXXXXX";
  tempFd_ = ::mkostemp(temporary_.data(), O_CLOEXEC);
  if (tempFd_ < 0) {
    temporary_.clear();
    Abandon();
    return false;
  }
  if (::fchmod(tempFd_, mode) != 0) {
    Abandon();
    return false;
  }
  if (exists) {
    // Keep the owner when we are allowed to (only root is); otherwise the file becomes ours.
    [[maybe_unused]] const int ignored = ::fchown(tempFd_, info.st_uid, info.st_gid);
  }
  buffer_.reset(new unsigned char[kBufferSize]);  // no need to clear it first
  return true;
}

bool SafeFileWriter::Write(const void* bytes, std::size_t size) {
  if (failed_ || tempFd_ < 0) {
    failed_ = true;
    return false;
  }
  const auto* source = static_cast<const unsigned char*>(bytes);
  if (buffered_ + size <= kBufferSize) {
    std::memcpy(buffer_.get() + buffered_, source, size);
    buffered_ += size;
    return true;
  }
  if (!Flush()) {
    return false;
  }
  if (size >= kBufferSize) {
    failed_ = !WriteFully(tempFd_, source, size);
    return !failed_;
  }
  std::memcpy(buffer_.get(), source, size);
  buffered_ = size;
  return true;
}

bool SafeFileWriter::Flush() {
  if (buffered_ > 0 && !failed_) {
    failed_ = !WriteFully(tempFd_, buffer_.get(), buffered_);
  }
  buffered_ = 0;
  return !failed_;
}

bool SafeFileWriter::Commit() {
  if (tempFd_ < 0 || !Flush() || ::fsync(tempFd_) != 0) {
    Abandon();
    return false;
  }
  const int fd = std::exchange(tempFd_, -1);
  if (::close(fd) != 0 || ::rename(temporary_.c_str(), target_.c_str()) != 0) {
    Abandon();
    return false;
  }
  temporary_.clear();
  SyncFolder(FolderOf(target_));
  Abandon();  // releases the lock on the replaced file
  return true;
}

void SafeFileWriter::Abandon() {
  if (tempFd_ >= 0) {
    ::close(std::exchange(tempFd_, -1));
  }
  if (!temporary_.empty()) {
    ::unlink(temporary_.c_str());
    temporary_.clear();
  }
  if (lockFd_ >= 0) {
    ::close(std::exchange(lockFd_, -1));
  }
  buffer_.reset();
  buffered_ = 0;
}

}  // namespace runebin::platform
