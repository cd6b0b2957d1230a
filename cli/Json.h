#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace runebin::cli {

// A JSON string of UTF-8 text (names converted with Shown first): quotes, backslashes and
// control characters are escaped, everything else is kept as it is.
inline std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || byte == 0x7F) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", byte);
      out += escape;
    } else {
      out += c;
    }
  }
  return out + '"';
}

}  // namespace runebin::cli
