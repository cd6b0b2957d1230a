#pragma once

namespace runebin {

// Results of reading and importing a metafile. Success is 0; the failures are small negative
// numbers that the callers turn into their own messages.
inline constexpr int ImportSucceeded = 0;
inline constexpr int ImportOpenFailed = -1;   // the file cannot be opened for reading
inline constexpr int ImportReadFailed = -2;   // nothing could be read (empty file, read error)
inline constexpr int ImportUnknownType = -3;  // the first bytes are not those of a metafile

}  // namespace runebin
