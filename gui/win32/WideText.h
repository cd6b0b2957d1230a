#pragma once

#include <string>
#include <string_view>

namespace runebin::win32 {

// The Windows API takes UTF-16; the program's strings are 8-bit. Symbol names are stored in
// drawing files as single-byte Windows-1252 text and are shown byte for byte through that code
// page, so that every byte value survives a round trip through an edit box. Other texts
// (messages, captions, paths) are UTF-8, except that a message may carry a name: a text that is
// not valid UTF-8 is read as Windows-1252.
std::wstring NameToWide(std::string_view name);
std::wstring TextToWide(std::string_view text);
// What the user typed, or what a control shows, as UTF-8.
std::string WideToText(std::wstring_view text);

}  // namespace runebin::win32
