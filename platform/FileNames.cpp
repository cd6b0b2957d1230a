#include "platform/FileNames.h"

namespace runebin::platform {

std::FILE* OpenFile(const std::string& path, const char* mode) {
  return std::fopen(path.c_str(), mode);
}

}  // namespace runebin::platform
