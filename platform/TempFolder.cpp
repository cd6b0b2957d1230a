#include "platform/TempFolder.h"

#include <cstdlib>

namespace runebin::platform {

std::string TemporaryFolder() {
  const char* tmpdir = std::getenv("TMPDIR");
  if (tmpdir != nullptr && *tmpdir != '\0') {
    return tmpdir;
  }
  return "/tmp";
}

}  // namespace runebin::platform
