#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "model/DrawingFile.h"

namespace runebin::fuzz {

// Checks shared by the drawing fuzz target. A failed check prints what failed and aborts, which
// libFuzzer reports as a crash together with the input that caused it.

[[noreturn]] void Fail(const char* condition, const char* file, int line);

#define FUZZ_CHECK(condition)                                \
  do {                                                       \
    if (!(condition)) {                                      \
      ::runebin::fuzz::Fail(#condition, __FILE__, __LINE__); \
    }                                                        \
  } while (0)

using Bytes = std::vector<std::uint8_t>;

// One top-level piece of a body, found by walking it with the framing rules alone (independent of
// the loader): a record, a record with its group, or the unreadable rest of the body.
struct Piece {
  std::span<const std::uint8_t> bytes;
  bool tail = false;
};
std::vector<Piece> SplitBody(std::span<const std::uint8_t> file);

// The result Load must give for these bytes: the signature, version and compression checks in
// that order, missing header bytes reading as zero.
LoadResult ExpectedLoadResult(std::span<const std::uint8_t> file);

// What writing the file back unchanged must produce: the header (padded to 128 bytes), then the
// type-0 pieces, the definitions, the other pieces and the unreadable rest, each in file order.
Bytes ExpectedRegroupedFile(std::span<const std::uint8_t> file);

// The document as written to memory. Aborts if a write fails.
Bytes WriteToMemory(const DrawingFile& drawing);

// Every entity sits in the list of its kind: type-0 records in typeZeroEntities, only definitions
// in symbolDefs, everything else in otherEntities, an unreadable rest only as its last entry.
void CheckLists(const DrawingFile& drawing);
// Every name and group hint a load gave its entities holds (see NamedEntity::IsNamed and
// Entity::KnowsNoNestedReference).
void CheckLoadHints(const DrawingFile& drawing);

// The use counts a fresh load of `file` must show: each top-level reference counts for the last
// definition of its name.
void CheckUseCounts(const DrawingFile& drawing, std::span<const std::uint8_t> file);

// Loading `written` again and writing it back gives the same bytes.
void CheckReloadIsStable(const Bytes& written);

}  // namespace runebin::fuzz
