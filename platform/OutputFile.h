#pragma once

#include <cstddef>

namespace runebin {

// A destination for bytes being written to a file. Entities write themselves through it, so the
// model never needs to know whether it writes to disk, to a safe-replacement temporary file or to
// memory (tests).
class OutputFile {
 public:
  virtual ~OutputFile() = default;
  // Appends `size` bytes. Returns false when the bytes could not be written; after a failure
  // further writes keep failing.
  virtual bool Write(const void* bytes, std::size_t size) = 0;
};

}  // namespace runebin
