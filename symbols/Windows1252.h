#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace runebin {

// Symbol names are stored as single-byte Windows-1252 text. These conversions are the one place
// where that code page is known; every front end converts names through them.
//
// Bytes 0x81, 0x8D, 0x8F, 0x90 and 0x9D have no character in the code page. They map to the C1
// control code points of the same value, so that every byte survives a round trip.

// The code point a stored byte stands for.
char32_t Windows1252ToCodePoint(unsigned char byte);
// The byte that stands for `codePoint`, or nothing when the code page has no such character.
std::optional<unsigned char> CodePointToWindows1252(char32_t codePoint);
// One of the five bytes the code page leaves unassigned.
bool IsUndefinedInWindows1252(unsigned char byte);

// Stored bytes as UTF-8 text.
std::string Windows1252ToUtf8(std::string_view bytes);
// UTF-8 text as stored bytes; nothing when `text` is not valid UTF-8 or holds a character the
// code page lacks.
std::optional<std::string> Utf8ToWindows1252(std::string_view text);
// The same, keeping only what fits: characters the code page lacks, and bytes that are not UTF-8,
// are dropped.
std::string Utf8ToWindows1252Fitting(std::string_view text);

// `text` with each byte that begins no valid UTF-8 sequence replaced by U+FFFD, so that it can
// be shown or put into JSON (a file name on Linux may hold any bytes).
std::string ValidUtf8(std::string_view text);

}  // namespace runebin
