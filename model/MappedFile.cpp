#include "model/MappedFile.h"

#include <utility>

namespace runebin {

platform::LockResult MappedFile::Open(const std::string& path) {
  Close();
  if (const platform::LockResult locked = file_.OpenForReading(path);
      locked != platform::LockResult::Locked) {
    return locked;
  }
  if (!map_.Map(file_.Descriptor(), file_.Size())) {
    file_.Close();
    return platform::LockResult::Failed;
  }
  return platform::LockResult::Locked;
}

void MappedFile::Close() {
  map_.Unmap();
  file_.Close();
}

platform::LockedFile MappedFile::TakeFile() {
  map_.Unmap();
  return std::move(file_);
}

}  // namespace runebin
