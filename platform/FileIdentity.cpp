#include "platform/FileIdentity.h"

#include <sys/stat.h>

namespace runebin::platform {
namespace {

FileIdentity IdentityOf(const struct stat& info) {
  return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
          static_cast<std::int64_t>(info.st_size),
          static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000LL + info.st_mtim.tv_nsec};
}

}  // namespace

std::optional<FileIdentity> IdentityOfPath(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    return std::nullopt;
  }
  return IdentityOf(info);
}

std::optional<FileIdentity> IdentityOfOpenFile(std::intptr_t descriptor) {
  struct stat info {};
  if (::fstat(static_cast<int>(descriptor), &info) != 0) {
    return std::nullopt;
  }
  return IdentityOf(info);
}

}  // namespace runebin::platform
