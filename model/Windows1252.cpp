#include "model/Windows1252.h"

#include <array>
#include <cstdint>

namespace runebin {
namespace {

// Characters of the bytes 0x80..0x9F; the rest of the code page coincides with Latin-1.
constexpr std::array<char16_t, 32> kHighControlRange = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr char32_t kInvalid = 0xFFFFFFFF;

// Decodes the UTF-8 character at `text[at]` and moves `at` past it; an invalid sequence (bad
// lead or continuation byte, overlong form, surrogate, beyond U+10FFFF) yields kInvalid and
// moves past one byte.
char32_t NextCodePoint(std::string_view text, std::size_t& at) {
  const auto lead = static_cast<unsigned char>(text[at++]);
  if (lead < 0x80) {
    return lead;
  }
  int length = 0;
  char32_t value = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 1;
    value = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 2;
    value = lead & 0x0Fu;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 3;
    value = lead & 0x07u;
  } else {
    return kInvalid;
  }
  if (text.size() - at < static_cast<std::size_t>(length)) {
    return kInvalid;
  }
  for (int i = 0; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[at + static_cast<std::size_t>(i)]);
    if ((next & 0xC0u) != 0x80u) {
      return kInvalid;
    }
    value = (value << 6) | (next & 0x3Fu);
  }
  const bool overlong = (length == 2 && value < 0x800) || (length == 3 && value < 0x10000);
  if (overlong || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF) {
    return kInvalid;
  }
  at += static_cast<std::size_t>(length);
  return value;
}

void AppendUtf8(std::string& out, char32_t codePoint) {
  if (codePoint < 0x80) {
    out += static_cast<char>(codePoint);
  } else if (codePoint < 0x800) {
    out += static_cast<char>(0xC0 | (codePoint >> 6));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (codePoint >> 12));
    out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  }
}

// Converts `text`, dropping what does not fit; `complete` tells whether nothing was dropped.
std::string Convert(std::string_view text, bool& complete) {
  std::string name;
  name.reserve(text.size());
  complete = true;
  for (std::size_t at = 0; at < text.size();) {
    const std::optional<unsigned char> byte = CodePointToWindows1252(NextCodePoint(text, at));
    if (byte) {
      name += static_cast<char>(*byte);
    } else {
      complete = false;
    }
  }
  return name;
}

}  // namespace

char32_t Windows1252ToCodePoint(unsigned char byte) {
  return byte >= 0x80 && byte <= 0x9F ? kHighControlRange[byte - 0x80u] : byte;
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

std::string Windows1252ToUtf8(std::string_view name) {
  std::string text;
  text.reserve(name.size() * 3);
  for (const char c : name) {
    AppendUtf8(text, Windows1252ToCodePoint(static_cast<unsigned char>(c)));
  }
  return text;
}

std::optional<std::string> Utf8ToWindows1252(std::string_view text) {
  bool complete = false;
  std::string name = Convert(text, complete);
  if (!complete) {
    return std::nullopt;
  }
  return name;
}

std::string Utf8ToWindows1252Fitting(std::string_view text) {
  bool complete = false;
  return Convert(text, complete);
}

}  // namespace runebin
