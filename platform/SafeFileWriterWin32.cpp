#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/FileNames.h"
#include "platform/SafeFileWriter.h"

// The Windows way of replacing a file safely: the new contents go to a temporary file beside the
// target, are flushed to disk, and ReplaceFileW puts them in the target's place, keeping the
// target's attributes, security descriptor and creation time. The target is held open with no
// sharing while the replacement is written. Handles live in C runtime descriptors so that the
// class has the same members on every system.

namespace runebin::platform {
namespace {

constexpr std::size_t kBufferSize = 1 << 20;
constexpr DWORD kLargestWrite = 1U << 30;

HANDLE HandleOf(int fd) {
  return reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
}

int DescriptorOf(HANDLE handle, int flags) {
  const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), flags | _O_BINARY);
  if (fd < 0) {
    ::CloseHandle(handle);
  }
  return fd;
}

bool WriteFully(HANDLE file, const unsigned char* bytes, std::size_t size) {
  while (size > 0) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, kLargestWrite));
    DWORD written = 0;
    if (!::WriteFile(file, bytes, chunk, &written, nullptr) || written == 0) {
      return false;
    }
    bytes += written;
    size -= written;
  }
  return true;
}

// Creates a new, uniquely named file `<folder>.<name>.<hex>` and returns its descriptor, or -1.
int CreateTemporary(const std::string& target, std::string& temporary) {
  const auto separator = target.find_last_of("\\/");
  const std::size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
  static unsigned counter = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const unsigned long long seed =
        ::GetTickCount64() * 2654435761ULL ^
        (static_cast<unsigned long long>(::GetCurrentProcessId()) << 20) ^ ++counter;
    char suffix[17];
    std::snprintf(suffix, sizeof suffix, "%06llx", seed & 0xFFFFFF);
    temporary = target.substr(0, nameStart) + "." + target.substr(nameStart) + "." + suffix;
    HANDLE handle = ::CreateFileW(Widen(temporary).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
      return DescriptorOf(handle, _O_WRONLY);
    }
    if (::GetLastError() != ERROR_FILE_EXISTS && ::GetLastError() != ERROR_ALREADY_EXISTS) {
      break;
    }
  }
  temporary.clear();
  return -1;
}

// The attributes a user sets on a file, which a replacement must keep.
constexpr DWORD kUserAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// Gives `path` the user attributes of `attributes` where it lacks them. ReplaceFileW does this
// itself on Windows, not everywhere its API is offered, and a plain rename never does.
void KeepAttributes(const std::wstring& path, DWORD attributes) {
  const DWORD now = ::GetFileAttributesW(path.c_str());
  const DWORD wanted = attributes & kUserAttributes;
  if (now != INVALID_FILE_ATTRIBUTES && (now & kUserAttributes) != wanted) {
    ::SetFileAttributesW(path.c_str(), (now & ~kUserAttributes) | wanted);
  }
}

// Puts the flushed temporary file in the target's place.
bool Replace(const std::wstring& target, const std::wstring& temporary) {
  const DWORD attributes = ::GetFileAttributesW(target.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    // A new file: a plain rename, which never overwrites a file created meanwhile.
    return ::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
  }
  if (!::ReplaceFileW(target.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                      nullptr, nullptr)) {
    // Some file systems cannot replace (network shares, for one). When the failed attempt left
    // both files under their names, a rename does the job.
    if (::GetFileAttributesW(temporary.c_str()) == INVALID_FILE_ATTRIBUTES ||
        ::GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES ||
        !::MoveFileExW(temporary.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return false;
    }
  }
  KeepAttributes(target, attributes);
  return true;
}

}  // namespace

SafeFileWriter::~SafeFileWriter() {
  Abandon();
}

bool SafeFileWriter::Begin(const std::string& target) {
  Abandon();
  failed_ = false;
  buffered_ = 0;
  if (target.empty() || target.back() == '/' || target.back() == '\\') {
    return false;
  }
  target_ = target;
  const std::wstring wide = Widen(target_);
  const DWORD attributes = ::GetFileAttributesW(wide.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    // The read-only attribute is the Windows form of a file nobody may write.
    if ((attributes &
         (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_READONLY)) != 0) {
      return false;
    }
    HANDLE lock = ::CreateFileW(wide.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (lock == INVALID_HANDLE_VALUE || ::GetFileType(lock) != FILE_TYPE_DISK) {
      if (lock != INVALID_HANDLE_VALUE) {
        ::CloseHandle(lock);
      }
      return false;
    }
    lockFd_ = DescriptorOf(lock, _O_RDONLY);
    if (lockFd_ < 0) {
      return false;
    }
  }
  tempFd_ = CreateTemporary(target_, temporary_);
  if (tempFd_ < 0) {
    Abandon();
    return false;
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
    failed_ = !WriteFully(HandleOf(tempFd_), source, size);
    return !failed_;
  }
  std::memcpy(buffer_.get(), source, size);
  buffered_ = size;
  return true;
}

bool SafeFileWriter::Flush() {
  if (buffered_ > 0 && !failed_) {
    failed_ = !WriteFully(HandleOf(tempFd_), buffer_.get(), buffered_);
  }
  buffered_ = 0;
  return !failed_;
}

bool SafeFileWriter::Commit() {
  if (tempFd_ < 0 || !Flush() || !::FlushFileBuffers(HandleOf(tempFd_))) {
    Abandon();
    return false;
  }
  const int fd = std::exchange(tempFd_, -1);
  // The target must be closed before it can be replaced; from here until the replacement another
  // program could open it, and then the replacement fails and the target stays as it was.
  if (lockFd_ >= 0) {
    ::_close(std::exchange(lockFd_, -1));
  }
  if (::_close(fd) != 0 || !Replace(Widen(target_), Widen(temporary_))) {
    Abandon();
    return false;
  }
  temporary_.clear();
  Abandon();
  return true;
}

void SafeFileWriter::Abandon() {
  if (tempFd_ >= 0) {
    ::_close(std::exchange(tempFd_, -1));
  }
  if (!temporary_.empty()) {
    ::DeleteFileW(Widen(temporary_).c_str());
    temporary_.clear();
  }
  if (lockFd_ >= 0) {
    ::_close(std::exchange(lockFd_, -1));
  }
  buffer_.reset();
  buffered_ = 0;
}

}  // namespace runebin::platform
