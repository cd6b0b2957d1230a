#include <utility>

#include "platform/LockedFile.h"

// Ownership of the held descriptor, the same on every system: closing (and so unlocking) is
// Close's job, which each system's branch implements.
namespace runebin::platform {

LockedFile::~LockedFile() {
  Close();
}

LockedFile::LockedFile(LockedFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), identity_(std::exchange(other.identity_, {})) {}

LockedFile& LockedFile::operator=(LockedFile&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
    identity_ = std::exchange(other.identity_, {});
  }
  return *this;
}

}  // namespace runebin::platform
