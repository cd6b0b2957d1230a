#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace runebin::platform {

// File names are UTF-8 throughout the program. This opens one with std::fopen's modes; on
// Windows the name is passed to the system in UTF-16, so that any character survives.
std::FILE* OpenFile(const std::string& path, const char* mode);

#ifdef _WIN32
// Conversions at the boundary to the Windows API. Invalid sequences become U+FFFD.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);
#endif

}  // namespace runebin::platform
