#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "model/ByteOrder.h"

namespace runebin {

// The drawing file format: a 128-byte header, then entity records one after the other. Every
// record starts with its total length (signed 32-bit, the length field included) and a type byte.

// Header.
inline constexpr std::size_t kHeaderSize = 128;
inline constexpr std::string_view kSignature = "PVX (Plotvex for Windows)";  // bytes 0..24
inline constexpr std::size_t kVersionOffset = 26;
inline constexpr std::uint8_t kSupportedVersion = '6';
inline constexpr std::size_t kCompressedFlagOffset = 48;

// The header of a new, empty file: the signature and its blank, version 6, not compressed, the
// rest zero.
inline std::array<std::uint8_t, kHeaderSize> NewFileHeader() {
  std::array<std::uint8_t, kHeaderSize> header{};
  for (std::size_t i = 0; i < kSignature.size(); ++i) {
    header[i] = static_cast<std::uint8_t>(kSignature[i]);
  }
  header[kSignature.size()] = ' ';
  header[kVersionOffset] = kSupportedVersion;
  return header;
}

// Record framing.
inline constexpr std::size_t kLengthOffset = 0;
inline constexpr std::size_t kTypeOffset = 4;
inline constexpr std::size_t kSubtypeOffset = 5;  // type-0 records only
inline constexpr std::size_t kMinRecordLength = 5;

// Record types the program tells apart.
inline constexpr int kTypeZero = 0;
inline constexpr int kTypeGroup17 = 17;
inline constexpr int kTypeGroup18 = 18;
inline constexpr int kTypeSymbolDef = 28;
inline constexpr int kTypeSymbolRef = 29;

// Inside a group, a 5-byte record is a nesting marker; its type byte says which.
inline constexpr std::size_t kMarkerLength = 5;
inline constexpr std::uint8_t kMarkerOpen = 0;
inline constexpr std::uint8_t kMarkerClose = 1;
inline constexpr std::uint8_t kGroupOpen[kMarkerLength] = {5, 0, 0, 0, kMarkerOpen};
inline constexpr std::uint8_t kGroupClose[kMarkerLength] = {5, 0, 0, 0, kMarkerClose};

// Symbol definition record (type 28).
inline constexpr std::size_t kDefLowXOffset = 28;
inline constexpr std::size_t kDefLowYOffset = 32;
inline constexpr std::size_t kDefHighXOffset = 40;
inline constexpr std::size_t kDefHighYOffset = 44;
inline constexpr std::size_t kDefNameOffset = 56;
inline constexpr std::size_t kDefRecordLength = 88;  // as written by the metafile import

// Symbol reference record (type 29).
inline constexpr std::size_t kRefNameOffset = 52;

// Names: at most 31 bytes followed by a zero, in a 32-byte field.
inline constexpr std::size_t kNameFieldSize = 32;
inline constexpr std::size_t kMaxNameLength = 31;

inline bool IsGroupLeader(int type) {
  return type == kTypeGroup17 || type == kTypeGroup18 || type == kTypeSymbolDef;
}

// Records that no command ever changes or looks into: all but groups, definitions and references.
// Type 0 records are passive too, but go to a list of their own.
inline bool IsPassiveRecord(int type) {
  return !IsGroupLeader(type) && type != kTypeSymbolRef;
}

// The framing of records, over any `body` that can hand out its bytes piece by piece: Size() is
// its length, and At(offset, want) gives the bytes from `offset` on - at least `want` of them, or
// all that are left when fewer are (an empty span where the body could not be read). A load
// streams a big file through a small window this way; the functions after these take bytes that
// are all at hand.

// The length of one record at `offset` when it is well formed: at least 5 bytes long and lying
// wholly inside the body. Returns 0 otherwise.
inline std::size_t RecordLengthIn(std::span<const std::uint8_t> head, std::size_t available) {
  const auto length = ReadI32(head, kLengthOffset);
  if (!length || *length < static_cast<std::int32_t>(kMinRecordLength) ||
      static_cast<std::uint64_t>(*length) > available || head.size() <= kTypeOffset) {
    return 0;
  }
  return static_cast<std::size_t>(*length);
}
template <typename Body>
std::size_t RecordLengthAt(const Body& body, std::size_t offset) {
  return RecordLengthIn(body.At(offset, kTypeOffset + 1), body.Size() - offset);
}

// The length of the group-leading record at `start` together with its group: the records are
// passed by their lengths, 5-byte records with type 0 open a level and with type 1 close one, and
// the group ends just after the GroupClose that brings the level to 0 or below (so a leader
// followed at once by GroupClose ends there). Returns 0 when the group is not closed within the
// body or a record on the way is malformed; the caller decides what that means.
//
// GroupLevel follows the levels record by record; every walk that frames groups goes through it.
class GroupLevel {
 public:
  // Whether the well-formed record of `length` and `type` ends the group.
  bool Closes(std::size_t length, std::uint8_t type) {
    if (length == kMarkerLength) {
      if (type == kMarkerClose) {
        return --depth_ <= 0;
      }
      if (type == kMarkerOpen) {
        ++depth_;
      }
    }
    return false;
  }

 private:
  long depth_ = 0;
};
//
// With `holdsReference`, also tells whether a record of the group has the reference type (29).
template <typename Body>
std::size_t ScanGroupLengthAt(const Body& body, std::size_t start, bool* holdsReference = nullptr) {
  std::size_t offset = start;
  GroupLevel level;
  // Every step advances by at least 5 bytes, so the scan ends.
  while (offset < body.Size()) {
    const std::span<const std::uint8_t> head = body.At(offset, kTypeOffset + 1);
    const std::size_t length = RecordLengthIn(head, body.Size() - offset);
    if (length == 0) {
      return 0;  // also where the body could not be read
    }
    if (holdsReference != nullptr && head[kTypeOffset] == kTypeSymbolRef) {
      *holdsReference = true;
    }
    offset += length;
    if (level.Closes(length, head[kTypeOffset])) {
      return offset - start;
    }
  }
  return 0;
}

// The extent of the top-level record at `offset`: its own length, or for a group leader (types
// 17, 18, 28) its length with its group. 0 when malformed. `holdsReference` as above.
template <typename Body>
std::size_t TopLevelExtentAt(const Body& body, std::size_t offset, bool* holdsReference = nullptr) {
  const std::span<const std::uint8_t> head = body.At(offset, kTypeOffset + 1);
  if (head.size() <= kTypeOffset) {
    return 0;
  }
  return IsGroupLeader(head[kTypeOffset]) ? ScanGroupLengthAt(body, offset, holdsReference)
                                          : RecordLengthAt(body, offset);
}

// The same three over bytes that are all at hand, from their start.
std::size_t RecordLength(std::span<const std::uint8_t> bytes);
std::size_t ScanGroupLength(std::span<const std::uint8_t> bytes);
std::size_t TopLevelExtent(std::span<const std::uint8_t> bytes);

}  // namespace runebin
