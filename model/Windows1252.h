#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace runebin {

// Symbol names are stored in drawing files as single-byte text in the Windows Western code page
// (1252); what users type and the names of files are Unicode (UTF-8 here). These are the only
// conversions between the two.
//
// The five bytes the code page leaves unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the C1
// control characters of the same value, so that every byte survives a round trip.

// The Unicode character a byte of a name stands for.
char32_t Windows1252ToCodePoint(unsigned char byte);
// The byte that holds `codePoint`; nothing when the code page has no such character.
std::optional<unsigned char> CodePointToWindows1252(char32_t codePoint);

// A name as UTF-8.
std::string Windows1252ToUtf8(std::string_view name);
// UTF-8 text as a name; nothing when it holds a character the code page lacks, or is not UTF-8.
std::optional<std::string> Utf8ToWindows1252(std::string_view text);
// The same, keeping only what fits: characters the code page lacks, and bytes that are not
// UTF-8, are dropped.
std::string Utf8ToWindows1252Fitting(std::string_view text);

}  // namespace runebin
