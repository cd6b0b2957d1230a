#include "symbols/Windows1252.h"

#include <array>
#include <cstdint>

namespace runebin {
namespace {

// Code points of the bytes 0x80..0x9F; the rest of the code page coincides with Latin-1.
constexpr std::array<char32_t, 32> kHighControlRange = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void AppendUtf8(std::string& text, char32_t codePoint) {
  const auto put = [&text](std::uint32_t value) { text += static_cast<char>(value); };
  const auto c = static_cast<std::uint32_t>(codePoint);
  if (c < 0x80) {
    put(c);
  } else if (c < 0x800) {
    put(0xC0 | (c >> 6));
    put(0x80 | (c & 0x3F));
  } else {  // every code point of the code page lies in the basic plane
    put(0xE0 | (c >> 12));
    put(0x80 | ((c >> 6) & 0x3F));
    put(0x80 | (c & 0x3F));
  }
}

// Reads the character at `text[at]` and advances `at`; nothing for a malformed, overlong or
// surrogate sequence.
std::optional<char32_t> NextCodePoint(std::string_view text, std::size_t& at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  std::size_t length = 0;
  char32_t value = 0;
  if (lead < 0x80) {
    ++at;
    return lead;
  }
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    value = lead & 0x1FU;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    value = lead & 0x0FU;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    value = lead & 0x07U;
  } else {
    return std::nullopt;
  }
  if (text.size() - at < length) {
    return std::nullopt;
  }
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[at + i]);
    if ((next & 0xC0U) != 0x80U) {
      return std::nullopt;
    }
    value = (value << 6) | (next & 0x3FU);
  }
  const bool overlong = (length == 3 && value < 0x800) || (length == 4 && value < 0x10000);
  if (overlong || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF) {
    return std::nullopt;
  }
  at += length;
  return value;
}

}  // namespace

char32_t Windows1252ToCodePoint(unsigned char byte) {
  return byte >= 0x80 && byte <= 0x9F ? kHighControlRange[byte - 0x80U] : char32_t{byte};
}

std::optional<unsigned char> CodePointToWindows1252(char32_t codePoint) {
  if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
    return static_cast<unsigned char>(codePoint);
  }
  for (std::size_t i = 0; i < kHighControlRange.size(); ++i) {
    if (kHighControlRange[i] == codePoint) {
      return static_cast<unsigned char>(0x80 + i);
    }
  }
  return std::nullopt;
}

bool IsUndefinedInWindows1252(unsigned char byte) {
  return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
}

std::string Windows1252ToUtf8(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (const char c : bytes) {
    AppendUtf8(text, Windows1252ToCodePoint(static_cast<unsigned char>(c)));
  }
  return text;
}

std::optional<std::string> Utf8ToWindows1252(std::string_view text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const std::optional<char32_t> codePoint = NextCodePoint(text, at);
    if (!codePoint) {
      return std::nullopt;
    }
    const std::optional<unsigned char> byte = CodePointToWindows1252(*codePoint);
    if (!byte) {
      return std::nullopt;
    }
    bytes += static_cast<char>(*byte);
  }
  return bytes;
}

std::string Utf8ToWindows1252Fitting(std::string_view text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const std::optional<char32_t> codePoint = NextCodePoint(text, at);
    if (!codePoint) {
      ++at;  // not UTF-8: the byte is dropped
      continue;
    }
    if (const std::optional<unsigned char> byte = CodePointToWindows1252(*codePoint)) {
      bytes += static_cast<char>(*byte);
    }
  }
  return bytes;
}

std::string ValidUtf8(std::string_view text) {
  std::string valid;
  valid.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t from = at;
    if (NextCodePoint(text, at)) {
      valid.append(text.substr(from, at - from));
    } else {
      AppendUtf8(valid, 0xFFFD);
      ++at;
    }
  }
  return valid;
}

}  // namespace runebin
