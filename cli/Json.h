#pragma once

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>

#include "symbols/Windows1252.h"

namespace runebin::cli {

// A JSON string of UTF-8 text (names converted with Shown first; bytes that are no UTF-8 become
// U+FFFD): quotes, backslashes and
// control characters are escaped - the C1 ones too (U+0080 to U+009F, which the bytes Windows-1252
// leaves unassigned become), so that nothing invisible reaches a reader - everything else is kept
// as it is.
inline std::string JsonString(std::string_view raw) {
  const std::string text = ValidUtf8(raw);  // a path may hold bytes that are no UTF-8
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const auto byte = static_cast<unsigned char>(c);
    const bool c1 = byte == 0xC2 && i + 1 < text.size() &&
                    static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                    static_cast<unsigned char>(text[i + 1]) <= 0x9F;
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || byte == 0x7F || c1) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x",
                    c1 ? static_cast<unsigned char>(text[++i]) : byte);
      out += escape;
    } else {
      out += c;
    }
  }
  return out + '"';
}

// A JSON number: the shortest text that reads back as `value`; null for an infinity or a NaN,
// which JSON cannot write (a damaged file's extents may hold them).
inline std::string JsonNumber(float value) {
  if (!std::isfinite(value)) {
    return "null";
  }
  char buffer[32];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  return std::string(buffer, end);
}

}  // namespace runebin::cli
