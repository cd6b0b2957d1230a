#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>

namespace runebin {

// Little-endian reads and writes of the numbers stored in drawing and metafile data. Every read
// names the bytes it may use, and answers nothing when the value would run past them.

inline std::optional<std::uint32_t> ReadU32(std::span<const std::uint8_t> bytes,
                                            std::size_t offset) {
  if (offset > bytes.size() || bytes.size() - offset < 4) {
    return std::nullopt;
  }
  const std::uint8_t* p = bytes.data() + offset;
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

inline std::optional<std::int32_t> ReadI32(std::span<const std::uint8_t> bytes,
                                           std::size_t offset) {
  const auto value = ReadU32(bytes, offset);
  if (!value) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(*value);
}

inline std::optional<std::uint16_t> ReadU16(std::span<const std::uint8_t> bytes,
                                            std::size_t offset) {
  if (offset > bytes.size() || bytes.size() - offset < 2) {
    return std::nullopt;
  }
  const std::uint8_t* p = bytes.data() + offset;
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

inline std::optional<std::int16_t> ReadI16(std::span<const std::uint8_t> bytes,
                                           std::size_t offset) {
  const auto value = ReadU16(bytes, offset);
  if (!value) {
    return std::nullopt;
  }
  return static_cast<std::int16_t>(*value);
}

inline std::optional<float> ReadF32(std::span<const std::uint8_t> bytes, std::size_t offset) {
  const auto value = ReadU32(bytes, offset);
  if (!value) {
    return std::nullopt;
  }
  return std::bit_cast<float>(*value);
}

// Writers for building records; the caller owns a buffer large enough for the value.
inline void PutU32(std::uint8_t* out, std::uint32_t value) {
  out[0] = static_cast<std::uint8_t>(value);
  out[1] = static_cast<std::uint8_t>(value >> 8);
  out[2] = static_cast<std::uint8_t>(value >> 16);
  out[3] = static_cast<std::uint8_t>(value >> 24);
}

inline void PutU16(std::uint8_t* out, std::uint16_t value) {
  out[0] = static_cast<std::uint8_t>(value);
  out[1] = static_cast<std::uint8_t>(value >> 8);
}

inline void PutF32(std::uint8_t* out, float value) {
  PutU32(out, std::bit_cast<std::uint32_t>(value));
}

}  // namespace runebin
