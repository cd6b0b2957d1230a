#include "model/Format.h"

#include "model/ByteOrder.h"

namespace runebin {

namespace {

// The framing below over bytes that are all at hand.
struct WholeBytes {
  std::span<const std::uint8_t> bytes;
  std::size_t Size() const { return bytes.size(); }
  std::span<const std::uint8_t> At(std::size_t offset, std::size_t) const {
    return bytes.subspan(offset);
  }
};

}  // namespace

std::size_t RecordLength(std::span<const std::uint8_t> bytes) {
  return RecordLengthAt(WholeBytes{bytes}, 0);
}

std::size_t ScanGroupLength(std::span<const std::uint8_t> bytes) {
  return ScanGroupLengthAt(WholeBytes{bytes}, 0);
}

std::size_t TopLevelExtent(std::span<const std::uint8_t> bytes) {
  return TopLevelExtentAt(WholeBytes{bytes}, 0);
}

}  // namespace runebin
