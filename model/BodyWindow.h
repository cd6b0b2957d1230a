#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "platform/MemoryMap.h"

namespace runebin {

// The body of a drawing as a load walks it, front to back, for the framing functions of Format.h
// (Size and At). A body in memory of our own is read where it is. A body in a view that maps its
// file is read with the system's read call into a small buffer that slides along: several times
// faster than chasing record lengths through the view, whose pages would fault in one by one,
// and the view itself is touched only where the document later reads an entity.
//
// A read that fails, or a file found shorter than the view (cut short by another program), makes
// the window Failed: every At after it is empty, and the load must not go on.
class BodyWindow {
 public:
  // `body` lies in `file`, `bodyOffset` bytes into it; the buffer holds `windowSize` bytes (256
  // KiB: the read calls cost little, and the buffer stays in the cache as it slides).
  BodyWindow(const platform::MemoryMap& file, std::span<const std::uint8_t> body,
             std::size_t bodyOffset, std::size_t windowSize = std::size_t{256} << 10);

  std::size_t Size() const { return body_.size(); }
  // What it returns is good until the next call.
  std::span<const std::uint8_t> At(std::size_t offset, std::size_t want) const;
  bool Failed() const { return failed_; }

 private:
  const platform::MemoryMap& file_;
  std::span<const std::uint8_t> body_;
  std::size_t bodyOffset_;
  std::size_t windowSize_;
  bool reading_;
  // The bytes of body_ from start_ on, filled_ of them.
  mutable std::unique_ptr<std::uint8_t[]> buffer_;
  mutable std::size_t start_ = 0;
  mutable std::size_t filled_ = 0;
  mutable bool failed_ = false;
};

}  // namespace runebin
