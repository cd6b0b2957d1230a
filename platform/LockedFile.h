#pragma once

#include <cstdint>
#include <string>

namespace runebin::platform {

// A file opened for reading and held under an exclusive, non-blocking lock for as long as this
// object lives: while we read a drawing, no other program that honours locks may open it, and a
// file another program holds locked cannot be opened here.
class LockedFile {
 public:
  LockedFile() = default;
  ~LockedFile();
  LockedFile(const LockedFile&) = delete;
  LockedFile& operator=(const LockedFile&) = delete;
  LockedFile(LockedFile&& other) noexcept;
  LockedFile& operator=(LockedFile&& other) noexcept;

  // Opens an existing regular file read-only and locks it. Returns false (and holds nothing) when
  // the file does not exist, is not a regular file, cannot be opened or is locked elsewhere.
  bool OpenForReading(const std::string& path);
  // Releases the lock and closes the file. Returns false if closing failed.
  bool Close();

  bool IsOpen() const { return fd_ >= 0; }
  int Descriptor() const { return fd_; }
  // Size of the file in bytes, taken when it was opened.
  std::int64_t Size() const { return size_; }

 private:
  int fd_ = -1;
  std::int64_t size_ = 0;
};

}  // namespace runebin::platform
