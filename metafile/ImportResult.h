#pragma once

namespace runebin {

// How importing a metafile ended; the numbers are the codes the program has always used.
enum class ImportResult {
  Succeeded = 0,
  OpenFailed = -1,   // the file cannot be opened for reading
  ReadFailed = -2,   // nothing could be read (empty file, read error)
  UnknownType = -3,  // not a metafile: its first bytes are not a metafile's, or it is too short
  // Raised by the symbol layer after a conversion, not by the reader:
  NothingReturned = -4,  // a success without a symbol (too large, or no memory for it)
  NothingConverts = -5,  // the metafile holds no record that converts
};

}  // namespace runebin
