#pragma once

#include <cstdint>
#include <vector>

#include "platform/OutputFile.h"

namespace runebin {

// Collects written bytes in memory: for checking what a document would write without a file.
class MemoryOutput final : public OutputFile {
 public:
  bool Write(const void* bytes, std::size_t size) override {
    const auto* begin = static_cast<const std::uint8_t*>(bytes);
    written.insert(written.end(), begin, begin + size);
    return true;
  }

  std::vector<std::uint8_t> written;
};

}  // namespace runebin
