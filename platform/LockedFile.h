#pragma once

#include <cstdint>
#include <string>

#include "platform/FileIdentity.h"

namespace runebin::platform {

// A file opened for reading and held under an exclusive, non-blocking lock for as long as this
// object lives: while we read a drawing, no other program that honours locks may open it, and a
// file another program holds locked cannot be opened here.
enum class LockResult {
  Locked,
  Failed,  // missing, not a regular file, or cannot be opened
  InUse,   // another program holds it locked
};

class LockedFile {
 public:
  LockedFile() = default;
  ~LockedFile();
  LockedFile(const LockedFile&) = delete;
  LockedFile& operator=(const LockedFile&) = delete;
  LockedFile(LockedFile&& other) noexcept;
  LockedFile& operator=(LockedFile&& other) noexcept;

  // Opens an existing regular file read-only and locks it. Once locked, the path must still name
  // the locked file: if it was replaced meanwhile, the new file is opened and locked instead. On
  // failure nothing is held.
  LockResult OpenForReading(const std::string& path);
  // Releases the lock and closes the file. Returns false if closing failed.
  bool Close();

  bool IsOpen() const { return fd_ >= 0; }
  int Descriptor() const { return fd_; }
  // Size of the file in bytes, taken when it was locked.
  std::int64_t Size() const { return identity_.size; }
  // The file as it was when locked.
  const FileIdentity& Identity() const { return identity_; }

 private:
  int fd_ = -1;
  FileIdentity identity_;
};

}  // namespace runebin::platform
