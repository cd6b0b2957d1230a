#include "gui/win32/WideText.h"

#include <windows.h>

#include "platform/FileNames.h"
#include "symbols/Windows1252.h"

namespace runebin::win32 {

std::wstring NameToWide(std::string_view name) {
  std::wstring wide;
  wide.reserve(name.size());
  for (const char c : name) {
    // Every Windows-1252 character lies in the Basic Multilingual Plane.
    wide.push_back(static_cast<wchar_t>(Windows1252ToCodePoint(static_cast<unsigned char>(c))));
  }
  return wide;
}

std::wstring TextToWide(std::string_view text) {
  if (text.empty()) {
    return {};
  }
  const int size = static_cast<int>(text.size());
  const int length =
      ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
  if (length <= 0) {
    return NameToWide(text);
  }
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), length);
  return wide;
}

std::string WideToText(std::wstring_view text) {
  return platform::Narrow(text);
}

}  // namespace runebin::win32
