#pragma once

#include <sys/types.h>
#include <cstddef>
#include <memory>
#include <string>

#include "platform/OutputFile.h"

namespace runebin::platform {

// Replaces a file without ever destroying it: the new contents go to a temporary file in the same
// folder, which is flushed to disk and then renamed over the target in one step. Until Commit
// succeeds the target stays exactly as it was; if anything fails, the temporary file is removed.
//
// While the replacement is being written, the target is held under an exclusive, non-blocking
// lock, so a file that another process holds locked is refused.
class SafeFileWriter final : public OutputFile {
 public:
  SafeFileWriter() = default;
  ~SafeFileWriter() override;
  SafeFileWriter(const SafeFileWriter&) = delete;
  SafeFileWriter& operator=(const SafeFileWriter&) = delete;

  // Prepares to replace `target`. Refuses (returns false) when the target is a directory or other
  // non-regular file, is marked read-only on disk, is locked by another process, or when its
  // folder does not exist or a temporary file cannot be created in it.
  bool Begin(const std::string& target);
  bool Write(const void* bytes, std::size_t size) override;
  // Flushes, syncs and renames the temporary file over the target, which keeps its permissions.
  // Returns false (and leaves the target untouched) if any step fails or a write failed earlier.
  bool Commit();
  // Gives up: the temporary file is removed and the target is left alone.
  void Abandon();

 private:
  bool Flush();

  std::string target_;
  std::string temporary_;
  int tempFd_ = -1;
  int lockFd_ = -1;
  bool failed_ = false;
  std::unique_ptr<unsigned char[]> buffer_;
  std::size_t buffered_ = 0;
};

}  // namespace runebin::platform
