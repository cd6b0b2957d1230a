#include <windows.h>

#include "platform/FileIdentity.h"
#include "platform/FileNames.h"

namespace runebin::platform {
namespace {

// FILETIME counts 100 ns steps since 1601; the identity counts nanoseconds since 1970.
constexpr std::int64_t kEpochDifference = 116444736000000000LL;

std::optional<FileIdentity> IdentityOfHandle(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (file == INVALID_HANDLE_VALUE || !::GetFileInformationByHandle(file, &info)) {
    return std::nullopt;
  }
  const std::int64_t written = static_cast<std::int64_t>(info.ftLastWriteTime.dwHighDateTime)
                                   << 32 |
                               info.ftLastWriteTime.dwLowDateTime;
  return FileIdentity{info.dwVolumeSerialNumber,
                      static_cast<std::uint64_t>(info.nFileIndexHigh) << 32 | info.nFileIndexLow,
                      static_cast<std::int64_t>(info.nFileSizeHigh) << 32 | info.nFileSizeLow,
                      (written - kEpochDifference) * 100};
}

}  // namespace

std::optional<FileIdentity> IdentityOfPath(const std::string& path) {
  // No access asked for, and every kind of sharing allowed: this works even on a file another
  // program holds open without sharing.
  HANDLE file =
      ::CreateFileW(Widen(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  const std::optional<FileIdentity> identity = IdentityOfHandle(file);
  if (file != INVALID_HANDLE_VALUE) {
    ::CloseHandle(file);
  }
  return identity;
}

std::optional<FileIdentity> IdentityOfOpenFile(std::intptr_t descriptor) {
  return IdentityOfHandle(reinterpret_cast<HANDLE>(descriptor));
}

}  // namespace runebin::platform
