#include "model/MappedFile.h"

namespace runebin {

int MappedFile::Open(const std::string& path) {
  Close();
  if (!file_.OpenForReading(path)) {
    return MapOpenFailed;
  }
  if (!map_.Map(file_.Descriptor(), file_.Size())) {
    file_.Close();
    return MapMappingFailed;
  }
  return 0;
}

int MappedFile::Close() {
  int result = 0;
  if (!map_.Unmap()) {
    result = -1;
  }
  if (!file_.Close() && result == 0) {
    result = -3;
  }
  return result;
}

}  // namespace runebin
