#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>

#include "fuzz/DrawingChecks.h"
#include "model/DrawingFile.h"
#include "model/Format.h"

namespace runebin::fuzz {

// The symbol commands as the drawing fuzz target applies them: each takes its arguments from the
// script, runs the command, and checks what the command promises (see SymbolCommands.h).

inline constexpr std::size_t kScriptStart = 49;

// The command script, read from header bytes 49 to 127 (see DrawingFuzzer.cpp).
class Script {
 public:
  explicit Script(std::span<const std::uint8_t> file)
      : bytes_(file.size() > kScriptStart
                   ? file.subspan(kScriptStart, std::min(file.size(), kHeaderSize) - kScriptStart)
                   : std::span<const std::uint8_t>{}) {}
  bool AtEnd() const { return next_ >= bytes_.size() || bytes_[next_] == 0; }
  std::uint8_t Next() { return next_ < bytes_.size() ? bytes_[next_++] : 0; }
  // An index for a list of `size` entries; now and then one just outside it.
  int Index(int size) { return static_cast<int>(Next()) % (size + 1); }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t next_ = 0;
};

// Same length and the same count of every byte value.
bool SameByteCounts(const Bytes& a, const Bytes& b);
// Header and entities together.
std::size_t TotalLength(const DrawingFile& drawing);
// A name for a command: another symbol's name (so that names collide) or a new one.
std::string NewName(DrawingFile& drawing, Script& script);

void CheckedSort(DrawingFile& drawing);
void CheckedMove(DrawingFile& drawing, Script& script, bool up);
void CheckedRename(DrawingFile& drawing, Script& script);
void CheckedDeleteWithReferences(DrawingFile& drawing, Script& script);
void CheckedDeleteUnused(DrawingFile& drawing);
void CheckedCopy(DrawingFile& from, DrawingFile& to, Script& script);

}  // namespace runebin::fuzz
