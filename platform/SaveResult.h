#pragma once

#include <string>

namespace runebin {

// How writing a file back ended. Every failure leaves the file on disk as it was, except
// CopyKept, where the file could not be put back and its original bytes are in `keptCopy`.
enum class SaveResult {
  Saved,
  NothingLoaded,  // no document to write; a file is never replaced by an empty one
  NotWritable,    // read-only, not a regular file, not ours to write, or no folder to write in
  InUse,          // another program holds the file locked
  ChangedOnDisk,  // the file is no longer the one loaded (only when the caller asked to check)
  WriteFailed,    // writing, flushing or replacing failed (see `error`)
  CopyKept,       // an in-place write failed and so did restoring it; the copy stays
};

// A save's result with the system's reason, for messages and logs.
struct SaveStatus {
  SaveResult result = SaveResult::Saved;
  int error = 0;         // errno of the call that failed, 0 when none did
  std::string keptCopy;  // CopyKept: the file that holds the original bytes

  bool Saved() const { return result == SaveResult::Saved; }
};

}  // namespace runebin
