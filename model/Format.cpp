#include "model/Format.h"

#include "model/ByteOrder.h"

namespace runebin {

std::size_t RecordLength(std::span<const std::uint8_t> bytes) {
  const auto length = ReadI32(bytes, kLengthOffset);
  if (!length || *length < static_cast<std::int32_t>(kMinRecordLength) ||
      static_cast<std::uint64_t>(*length) > bytes.size()) {
    return 0;
  }
  return static_cast<std::size_t>(*length);
}

std::size_t ScanGroupLength(std::span<const std::uint8_t> bytes) {
  std::size_t offset = 0;
  long depth = 0;
  // Every step advances by at least 5 bytes, so the scan ends.
  while (offset < bytes.size()) {
    const std::size_t length = RecordLength(bytes.subspan(offset));
    if (length == 0) {
      return 0;
    }
    const std::uint8_t type = bytes[offset + kTypeOffset];
    offset += length;
    if (length != kMarkerLength) {
      continue;
    }
    if (type == kMarkerClose) {
      if (--depth <= 0) {
        return offset;
      }
    } else if (type == kMarkerOpen) {
      ++depth;
    }
  }
  return 0;
}

std::size_t TopLevelExtent(std::span<const std::uint8_t> bytes) {
  if (bytes.size() <= kTypeOffset) {
    return 0;
  }
  if (IsGroupLeader(bytes[kTypeOffset])) {
    return ScanGroupLength(bytes);
  }
  return RecordLength(bytes);
}

}  // namespace runebin
