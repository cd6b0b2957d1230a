#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/DrawingFile.h"

namespace runebin::testing {

using Bytes = std::vector<std::uint8_t>;

// Small builders for drawing-file bytes, so that tests say what a file holds instead of spelling
// out opaque byte blobs.

// The 128-byte header: signature, version digit, compressed flag; the rest zero.
Bytes Header(char version = '6', std::uint8_t compressed = 0);
// A record of `type` whose body is `body` (length = 5 + body size).
Bytes Record(std::uint8_t type, const Bytes& body = {});
// A type-0 record with `subtype` and `extra` more zero bytes.
Bytes TypeZero(std::uint8_t subtype, std::size_t extra = 4);
Bytes GroupOpen();
Bytes GroupClose();
// A symbol definition record (88 bytes unless `recordLength` says otherwise) with its extents
// and name, followed by GroupOpen, `content` and GroupClose.
struct Extents {
  float lowX = 0, lowY = 0, highX = 0, highY = 0;
};
Bytes Definition(std::string_view name, const std::vector<Bytes>& content = {},
                 Extents extents = {}, std::size_t recordLength = 88);
// A symbol reference record (84 bytes unless `recordLength` says otherwise) naming `name`.
Bytes Reference(std::string_view name, std::size_t recordLength = 84);
// A group record of type 17 or 18 followed by GroupOpen, `content` and GroupClose.
Bytes Group(std::uint8_t type, const std::vector<Bytes>& content);
// Concatenation.
Bytes Join(const std::vector<Bytes>& parts);
// `unit` repeated `times` times.
Bytes Repeat(const Bytes& unit, std::size_t times);
// Header followed by the records.
Bytes Drawing(const std::vector<Bytes>& records);
// What `drawing` writes; nothing (not even a header) when the write fails.
Bytes Written(const DrawingFile& drawing);
// A drawing loaded from `bytes`; throws, failing the test, when they do not load.
struct LoadedDrawing : DrawingFile {
  explicit LoadedDrawing(const Bytes& bytes);
};

}  // namespace runebin::testing
