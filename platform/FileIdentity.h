#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace runebin::platform {

// Which file a path named, and in what state, when it was looked at: enough to tell later whether
// the path still names the same file (device and inode; on Windows the volume serial number and
// file index) and whether anyone wrote to it since (size and modification time).
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t size = 0;
  std::int64_t modifiedNs = 0;  // modification time in nanoseconds since the epoch

  // The same file, whatever its contents.
  bool SameFile(const FileIdentity& other) const {
    return device == other.device && inode == other.inode;
  }
  // The same file, not written since.
  bool operator==(const FileIdentity& other) const = default;
};

// The identity of the file `path` names (through symbolic links); nothing when it cannot be read.
std::optional<FileIdentity> IdentityOfPath(const std::string& path);
// The identity of an open file, by its descriptor (a HANDLE's value on Windows).
std::optional<FileIdentity> IdentityOfOpenFile(std::intptr_t descriptor);

}  // namespace runebin::platform
