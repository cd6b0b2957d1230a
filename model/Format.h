#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

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

// The length of one record at the start of `bytes` when it is well formed: at least 5 bytes long
// and lying wholly inside `bytes`. Returns 0 otherwise.
std::size_t RecordLength(std::span<const std::uint8_t> bytes);

// The length of the group-leading record at the start of `bytes` together with its group: the
// records are passed by their lengths, 5-byte records with type 0 open a level and with type 1
// close one, and the group ends just after the GroupClose that brings the level to 0 or below
// (so a leader followed at once by GroupClose ends there). Returns 0 when the group is not
// closed within `bytes` or a record on the way is malformed; the caller decides what that means.
std::size_t ScanGroupLength(std::span<const std::uint8_t> bytes);

// The extent of the top-level record at the start of `bytes`: its own length, or for a group
// leader (types 17, 18, 28) its length with its group. 0 when malformed.
std::size_t TopLevelExtent(std::span<const std::uint8_t> bytes);

}  // namespace runebin
