#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/MemoryMap.h"

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
  // Appends `bytes`, which lie inside `view` where nobody has written into it, so that they are
  // the bytes of the file it maps at the same place. An output that can have the system copy them
  // from that file straight into its own (no trip through the view) does so; the default writes
  // them like Write.
  virtual bool WriteFromView(std::span<const std::uint8_t> bytes, const platform::MemoryMap& view) {
    static_cast<void>(view);
    return Write(bytes.data(), bytes.size());
  }
  // Appends `bytes`, which may already lie in the output where they are written (see
  // platform::SafeFileWriter::PlaceAhead); an output that knows so passes over them. The default
  // writes them like Write.
  virtual bool WritePlaced(std::span<const std::uint8_t> bytes) {
    return Write(bytes.data(), bytes.size());
  }
};

}  // namespace runebin
