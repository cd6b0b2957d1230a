#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "platform/FileNames.h"
#include "platform/SafeFileWriter.h"

// The Windows way of replacing a file safely: the new contents go to a temporary file beside the
// target, are flushed to disk, and ReplaceFileW puts them in the target's place, keeping the
// target's attributes, security descriptor and creation time. The target is held open without
// sharing while the replacement is written. A file with several hard links is written in place
// instead, through a handle that writes and shares nothing, after a flushed copy of it is made (a
// replacement would have one name only). Errors are Windows error codes.

namespace runebin::platform {
namespace {

constexpr DWORD kLargestWrite = 1U << 30;

HANDLE HandleOf(int fd) {
  return reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
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

// Copies everything `from` holds from its start to the current position of `to`.
bool CopyFile(HANDLE from, HANDLE to, unsigned char* buffer) {
  if (!::SetFilePointerEx(from, LARGE_INTEGER{}, nullptr, FILE_BEGIN)) {
    return false;
  }
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(from, buffer, static_cast<DWORD>(kSaveBufferSize), &got, nullptr)) {
      return false;
    }
    if (got == 0) {
      return true;
    }
    if (!WriteFully(to, buffer, got)) {
      return false;
    }
  }
}

// Creates a new, uniquely named file `.<name>.<hex>` beside `target`; returns its descriptor, or
// -1 with the reason in GetLastError.
int CreateTemporary(const std::string& target, std::string& temporary, SignalCleanup& cleanup) {
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
    const SignalHold hold;  // an interruption between creating and watching would leave it
    HANDLE handle = ::CreateFileW(Widen(temporary).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
      cleanup.Watch(temporary.c_str());
      const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
      if (fd < 0) {
        ::CloseHandle(handle);
      }
      return fd;
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

// Results carry the C library's error numbers, as on every system; Windows codes map to them.
SaveStatus SafeFileWriter::Refuse(SaveResult result, int error) {
  Abandon();
  int number = EIO;
  switch (error) {
    case 0:
      number = 0;
      break;
    case ERROR_ACCESS_DENIED:
      number = EACCES;
      break;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      number = EWOULDBLOCK;
      break;
    case ERROR_DIRECTORY:
      number = EISDIR;
      break;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      number = EEXIST;
      break;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      number = ENOENT;
      break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      number = ENOSPC;
      break;
    default:
      break;
  }
  return {result, number, {}};
}

const int SafeFileWriter::kInUseError = ERROR_SHARING_VIOLATION;

int SafeFileWriter::LastError() {
  return static_cast<int>(::GetLastError());
}

bool SafeFileWriter::WriteOut(const unsigned char* bytes, std::size_t size) {
  overwritten_ = true;
  return WriteFully(HandleOf(outFd_), bytes, size);
}

// No copy ahead here: every byte is written when the caller writes it.
void SafeFileWriter::CopyAhead(const MemoryMap&) {}

void SafeFileWriter::WaitAhead() {}

bool SafeFileWriter::SkipAhead(std::span<const std::uint8_t>, const MemoryMap&) {
  return false;
}

bool SafeFileWriter::EndAhead() {
  return true;
}

bool SafeFileWriter::MapOutput(MemoryMap&, std::int64_t) const {
  return false;
}

bool SafeFileWriter::PlaceAhead(std::int64_t, std::span<const std::uint8_t>) {
  return false;
}

void SafeFileWriter::ExpectPlaced(std::int64_t, std::span<const std::uint8_t>) {}

bool SafeFileWriter::SkipPlaced(std::span<const std::uint8_t>) {
  return false;
}

std::size_t SafeFileWriter::CopyOut(int, std::int64_t, std::size_t) {
  return 0;
}

SaveStatus SafeFileWriter::Begin(const std::string& target, const WriteOptions& options) {
  Abandon();
  Reset();
  if (target.empty() || target.back() == '/' || target.back() == '\\') {
    return Refuse(SaveResult::NotWritable, ERROR_DIRECTORY);
  }
  target_ = target;
  createOnly_ = options.createOnly;
  buffer_.reset(new unsigned char[kSaveBufferSize]);  // no need to clear it first
  const DWORD attributes = ::GetFileAttributesW(Widen(target_).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = ::GetLastError();
    // A target that is gone is written anew: there is nothing on disk to overwrite.
    if (error != ERROR_FILE_NOT_FOUND) {
      return Refuse(SaveResult::WriteFailed, static_cast<int>(error));
    }
  } else if (options.createOnly) {
    return Refuse(SaveResult::WriteFailed, ERROR_FILE_EXISTS);
  } else {
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      return Refuse(SaveResult::NotWritable, ERROR_DIRECTORY);
    }
    // The read-only attribute is the Windows form of a file nobody may write.
    if ((attributes & FILE_ATTRIBUTE_DEVICE) != 0 || (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
      return Refuse(SaveResult::NotWritable, ERROR_ACCESS_DENIED);
    }
    if (std::optional<SaveStatus> refused = HoldTarget(options)) {
      return *refused;
    }
    const std::optional<FileIdentity> now =
        IdentityOfOpenFile(::_get_osfhandle(lockHeld_->Descriptor()));
    if (options.expected && !(now && *now == *options.expected)) {
      return Refuse(SaveResult::ChangedOnDisk, 0);
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileInformationByHandle(HandleOf(lockHeld_->Descriptor()), &info) &&
        info.nNumberOfLinks > 1) {
      return BeginInPlace();  // a replacement would split the links
    }
  }
  cleanup_.emplace();
  outFd_ = CreateTemporary(target_, temporary_, *cleanup_);
  if (outFd_ < 0) {
    return Refuse(SaveResult::WriteFailed, static_cast<int>(::GetLastError()));
  }
  return {};
}

SaveStatus SafeFileWriter::BeginInPlace() {
  // The held handle only reads; it gives way to one that also writes and equally shares nothing,
  // on the same file (Abandon takes a caller's hold again).
  const FileIdentity held = lockHeld_->Identity();
  lockHeld_->Close();
  HANDLE file = ::CreateFileW(Widen(target_).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    return Refuse(error == ERROR_SHARING_VIOLATION ? SaveResult::InUse : SaveResult::WriteFailed,
                  static_cast<int>(error));
  }
  outFd_ = ::_open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDWR | _O_BINARY);
  if (outFd_ < 0) {
    ::CloseHandle(file);
    return Refuse(SaveResult::WriteFailed, ERROR_TOO_MANY_OPEN_FILES);
  }
  const std::optional<FileIdentity> now = IdentityOfOpenFile(reinterpret_cast<intptr_t>(file));
  if (!now || !now->SameFile(held)) {
    return Refuse(SaveResult::ChangedOnDisk, 0);
  }
  originalSize_ = now->size;
  cleanup_.emplace();
  const int copy = CreateTemporary(target_, temporary_, *cleanup_);
  if (copy < 0) {
    return Refuse(SaveResult::WriteFailed, static_cast<int>(::GetLastError()));
  }
  const bool copied = CopyFile(file, HandleOf(copy), buffer_.get()) &&
                      ::FlushFileBuffers(HandleOf(copy)) &&
                      ::SetFilePointerEx(file, LARGE_INTEGER{}, nullptr, FILE_BEGIN);
  const DWORD copyError = ::GetLastError();
  if (::_close(copy) != 0 || !copied) {
    return Refuse(SaveResult::WriteFailed,
                  static_cast<int>(copied ? ERROR_WRITE_FAULT : copyError));
  }
  inPlace_ = true;
  // From the first byte overwritten until the file is whole again, a console event must wait.
  hold_.emplace();
  return {};
}

bool SafeFileWriter::SyncOut() {
  return ::FlushFileBuffers(HandleOf(outFd_));
}

bool SafeFileWriter::TruncateOut(std::int64_t size) {
  overwritten_ = true;
  LARGE_INTEGER end{};
  end.QuadPart = size;
  return ::SetFilePointerEx(HandleOf(outFd_), end, nullptr, FILE_BEGIN) &&
         ::SetEndOfFile(HandleOf(outFd_));
}

bool SafeFileWriter::CloseOut() {
  return ::_close(std::exchange(outFd_, -1)) == 0;
}

bool SafeFileWriter::RestoreOriginal() {
  HANDLE copy = ::CreateFileW(Widen(temporary_).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (copy == INVALID_HANDLE_VALUE) {
    return false;
  }
  const bool restored =
      ::SetFilePointerEx(HandleOf(outFd_), LARGE_INTEGER{}, nullptr, FILE_BEGIN) &&
      CopyFile(copy, HandleOf(outFd_), buffer_.get()) && TruncateOut(originalSize_) && SyncOut();
  ::CloseHandle(copy);
  return restored;
}

SaveStatus SafeFileWriter::Commit() {
  if (std::optional<SaveStatus> ended = FinishOutput()) {
    return *ended;
  }
  // The target must be closed before it can be replaced. From here until the replacement another
  // program could open it; then the replacement fails and the target stays as it was (and a
  // caller's hold is taken again by Abandon).
  if (lockHeld_ != nullptr) {
    lockHeld_->Close();
  }
  // A new file only: a plain rename, which never overwrites a file created meanwhile.
  if (!(createOnly_ ? ::MoveFileExW(Widen(temporary_).c_str(), Widen(target_).c_str(),
                                    MOVEFILE_WRITE_THROUGH) != 0
                    : Replace(Widen(target_), Widen(temporary_)))) {
    return Refuse(SaveResult::WriteFailed, static_cast<int>(::GetLastError()));
  }
  temporary_.clear();
  lockHeld_ = nullptr;  // the held file is gone: nothing to take again
  Abandon();
  return {};
}

void SafeFileWriter::Abandon() {
  CloseOutput();
  if (!temporary_.empty()) {
    ::DeleteFileW(Widen(temporary_).c_str());
    temporary_.clear();
  }
  // A caller's hold, given up to write or replace the file, is taken again as it was.
  if (lockHeld_ != nullptr && lockHeld_ != &lock_ && !lockHeld_->IsOpen()) {
    lockHeld_->OpenForReading(target_);
  }
  ForgetSave();
}

}  // namespace runebin::platform
