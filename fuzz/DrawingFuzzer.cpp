// Fuzz target: a drawing file from bytes, loaded, checked, changed by every symbol command, and
// written back.
//
// The whole input is the drawing file. The header's bytes 49 to 127, which the program carries
// without reading, double as the script of commands to apply: one command per byte up to the
// first zero byte, the following bytes giving its arguments. So a plain file exercises loading
// and writing unchanged, and the fuzzer reaches the commands by changing header bytes.

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>

#include "fuzz/DrawingChecks.h"
#include "model/ByteOrder.h"
#include "model/EntityListing.h"
#include "model/Format.h"
#include "model/NamedEntity.h"
#include "symbols/SymbolCommands.h"

namespace runebin::fuzz {
namespace {

constexpr std::size_t kScriptStart = 49;

// Reads the command script from the header.
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
bool SameByteCounts(const Bytes& a, const Bytes& b) {
  std::array<std::size_t, 256> counts{};
  for (std::uint8_t byte : a) {
    ++counts[byte];
  }
  for (std::uint8_t byte : b) {
    if (counts[byte]-- == 0) {
      return false;
    }
  }
  return a.size() == b.size();
}

int TopLevelReferences(const DrawingFile& drawing, const std::string& name) {
  int count = 0;
  for (int i = 0; i < drawing.otherEntities.GetSize(); ++i) {
    const Entity& entity = drawing.otherEntities.GetAt(i);
    if (entity.GetType() == kTypeSymbolRef && entity.AsNamed() != nullptr &&
        NameOf(entity) == name) {
      ++count;
    }
  }
  return count;
}

// References that a rename of `name` reaches: top-level ones and those nested in any group.
int ReachableReferences(const DrawingFile& drawing, const std::string& name) {
  int count = TopLevelReferences(drawing, name);
  for (const EntityList* list :
       {&drawing.typeZeroEntities, &drawing.symbolDefs, &drawing.otherEntities}) {
    for (int i = 0; i < list->GetSize(); ++i) {
      const auto nested = list->GetAt(i).NestedReferenceNames();
      count += static_cast<int>(std::count(nested.begin(), nested.end(), name));
    }
  }
  return count;
}

std::size_t TotalLength(const DrawingFile& drawing) {
  std::size_t total = drawing.Header().size();
  for (const EntityList* list :
       {&drawing.typeZeroEntities, &drawing.symbolDefs, &drawing.otherEntities}) {
    for (int i = 0; i < list->GetSize(); ++i) {
      total += list->GetAt(i).Length();
    }
  }
  return total;
}

// A command given an index outside the list must throw std::invalid_argument and change nothing.
template <typename Command>
bool RefusedUnchanged(DrawingFile& drawing, Command command) {
  const Bytes before = WriteToMemory(drawing);
  const bool modified = drawing.IsModified();
  try {
    command();
  } catch (const std::invalid_argument&) {
    FUZZ_CHECK(WriteToMemory(drawing) == before);
    FUZZ_CHECK(drawing.IsModified() == modified);
    return true;
  }
  return false;
}

void Sort(DrawingFile& drawing) {
  const bool modified = drawing.IsModified();
  const Bytes before = WriteToMemory(drawing);
  const bool changed = SortSymbols(drawing);
  const EntityList& defs = drawing.symbolDefs;
  for (int i = 1; i < defs.GetSize(); ++i) {
    // Names compare as unsigned bytes; std::string's comparison does exactly that.
    FUZZ_CHECK(NameOf(defs.GetAt(i - 1)) <= NameOf(defs.GetAt(i)));
  }
  const Bytes after = WriteToMemory(drawing);
  FUZZ_CHECK(SameByteCounts(after, before));
  FUZZ_CHECK(drawing.IsModified() == (modified || changed));
  if (!changed) {
    FUZZ_CHECK(after == before);
  }
}

void Move(DrawingFile& drawing, Script& script, bool up) {
  const int index = script.Index(drawing.symbolDefs.GetSize());
  const int other = up ? index - 1 : index + 1;
  if (other < 0 || other >= drawing.symbolDefs.GetSize() || index >= drawing.symbolDefs.GetSize()) {
    FUZZ_CHECK(RefusedUnchanged(
        drawing, [&] { up ? MoveSymbolUp(drawing, index) : MoveSymbolDown(drawing, index); }));
    return;
  }
  const Entity* moving = &drawing.symbolDefs.GetAt(index);
  const Entity* passed = &drawing.symbolDefs.GetAt(other);
  up ? MoveSymbolUp(drawing, index) : MoveSymbolDown(drawing, index);
  FUZZ_CHECK(&drawing.symbolDefs.GetAt(other) == moving);
  FUZZ_CHECK(&drawing.symbolDefs.GetAt(index) == passed);
  FUZZ_CHECK(drawing.IsModified());
}

std::string NewName(DrawingFile& drawing, Script& script) {
  const std::uint8_t how = script.Next();
  if (how < 128 && drawing.symbolDefs.GetSize() > 0) {
    // Another symbol's name: renames into a name that is already taken.
    return NameOf(drawing.symbolDefs.GetAt(how % drawing.symbolDefs.GetSize()));
  }
  std::string name;
  for (int length = how % 40; length > 0; --length) {
    name.push_back(static_cast<char>(script.Next() | 1));  // no zero inside a name
  }
  return name;
}

void Rename(DrawingFile& drawing, Script& script) {
  const int index = script.Index(drawing.symbolDefs.GetSize());
  const std::string newName = NewName(drawing, script);
  if (index == drawing.symbolDefs.GetSize()) {
    FUZZ_CHECK(RefusedUnchanged(drawing, [&] { RenameSymbol(drawing, index, newName); }));
    return;
  }
  const std::string oldName = NameOf(drawing.symbolDefs.GetAt(index));
  const int reachable = ReachableReferences(drawing, oldName);
  const std::size_t total = TotalLength(drawing);
  const int renamed = RenameSymbol(drawing, index, newName);
  FUZZ_CHECK(renamed == reachable);
  FUZZ_CHECK(TotalLength(drawing) == total);
  FUZZ_CHECK(drawing.IsModified());
  const std::string now = NameOf(drawing.symbolDefs.GetAt(index));
  // A record too short for the whole name field keeps only what fits.
  FUZZ_CHECK(now.size() <= kMaxNameLength);
  FUZZ_CHECK(newName.compare(0, now.size(), now) == 0);
  if (drawing.symbolDefs.GetAt(index).Bytes().size() >= kDefNameOffset + kNameFieldSize &&
      ReadI32(drawing.symbolDefs.GetAt(index).Bytes(), 0).value_or(0) >=
          static_cast<std::int32_t>(kDefNameOffset + kNameFieldSize)) {
    FUZZ_CHECK(now == newName.substr(0, kMaxNameLength));
  }
}

void DeleteWithReferences(DrawingFile& drawing, Script& script) {
  const int index = script.Index(drawing.symbolDefs.GetSize());
  if (index == drawing.symbolDefs.GetSize()) {
    FUZZ_CHECK(RefusedUnchanged(drawing, [&] { DeleteSymbol(drawing, index); }));
    return;
  }
  const int definitions = drawing.symbolDefs.GetSize();
  const int others = drawing.otherEntities.GetSize();
  const std::string expectedName = NameOf(drawing.symbolDefs.GetAt(index));
  const int references = TopLevelReferences(drawing, expectedName);
  const std::string name = DeleteSymbol(drawing, index);
  FUZZ_CHECK(name == expectedName);
  FUZZ_CHECK(drawing.symbolDefs.GetSize() == definitions - 1);
  FUZZ_CHECK(drawing.RemoveReferences(name) == references);
  FUZZ_CHECK(drawing.otherEntities.GetSize() == others - references);
  FUZZ_CHECK(TopLevelReferences(drawing, name) == 0);
  FUZZ_CHECK(drawing.IsModified());
}

// Checks the result of deleting unused symbols without relying on how they were found: whatever
// still places a symbol (a kept definition, a group record) finds its last definition kept, and
// every deleted definition had no counted use.
void DeleteUnused(DrawingFile& drawing) {
  std::vector<const Entity*> before;
  std::vector<std::int32_t> useCounts;
  for (int i = 0; i < drawing.symbolDefs.GetSize(); ++i) {
    before.push_back(&drawing.symbolDefs.GetAt(i));
    useCounts.push_back(drawing.symbolDefs.GetAt(i).useCount);
  }
  std::map<std::string, const Entity*> lastOfName;
  for (const Entity* definition : before) {
    lastOfName[NameOf(*definition)] = definition;
  }
  const std::vector<bool> inUse = SymbolsInUse(drawing);
  const bool modified = drawing.IsModified();
  const int deleted = DeleteUnusedSymbols(drawing);

  std::vector<const Entity*> kept;
  for (std::size_t i = 0; i < before.size(); ++i) {
    if (inUse[i]) {
      kept.push_back(before[i]);
    } else {
      FUZZ_CHECK(useCounts[i] == 0);  // the entity itself is gone
    }
  }
  FUZZ_CHECK(deleted == static_cast<int>(before.size() - kept.size()));
  FUZZ_CHECK(drawing.symbolDefs.GetSize() == static_cast<int>(kept.size()));
  for (std::size_t i = 0; i < kept.size(); ++i) {
    FUZZ_CHECK(&drawing.symbolDefs.GetAt(static_cast<int>(i)) == kept[i]);
  }
  auto placedAreKept = [&](const std::vector<std::string>& names) {
    for (const std::string& name : names) {
      const auto found = lastOfName.find(name);
      FUZZ_CHECK(found == lastOfName.end() ||
                 std::find(kept.begin(), kept.end(), found->second) != kept.end());
    }
  };
  for (const Entity* definition : kept) {
    placedAreKept(definition->NestedReferenceNames());
  }
  for (int i = 0; i < drawing.otherEntities.GetSize(); ++i) {
    const Entity& entity = drawing.otherEntities.GetAt(i);
    if (entity.GetType() == kTypeGroup17 || entity.GetType() == kTypeGroup18) {
      placedAreKept(entity.NestedReferenceNames());
    }
  }
  FUZZ_CHECK(drawing.IsModified() == (modified || deleted > 0));
}

void Copy(DrawingFile& from, DrawingFile& to, Script& script) {
  const int index = script.Index(from.symbolDefs.GetSize());
  if (index == from.symbolDefs.GetSize()) {
    FUZZ_CHECK(RefusedUnchanged(from, [&] { from.symbolDefs.GetAt(index); }));
    return;
  }
  const Entity& source = from.symbolDefs.GetAt(index);
  const Bytes bytes(source.Bytes().begin(), source.Bytes().end());
  const int existing = to.symbolDefs.FindByName(NameOf(source));
  int place = 0;
  if (existing >= 0 && script.Next() % 2 == 0) {
    ReplaceSymbolWithCopy(source, to, existing);
    place = existing;
  } else {
    const int size = to.symbolDefs.GetSize();
    place = AppendSymbolCopy(source, to);
    FUZZ_CHECK(place == size);
  }
  const Entity& copy = to.symbolDefs.GetAt(place);
  FUZZ_CHECK(dynamic_cast<const SymbolDef*>(&copy) != nullptr);
  FUZZ_CHECK(Bytes(copy.Bytes().begin(), copy.Bytes().end()) == bytes);
  FUZZ_CHECK(copy.useCount == source.useCount);
  FUZZ_CHECK(to.IsModified());
}

// A folder for saves, in memory where the system has one (saving syncs to disk). Removed at exit.
class SaveFolder {
 public:
  SaveFolder() {
    std::string pattern =
        (::access("/dev/shm", W_OK) == 0 ? std::string("/dev/shm") : std::string("/tmp")) +
        "/runebin-fuzz-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
      std::abort();
    }
    path_ = pattern;
  }
  ~SaveFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  static const std::string& Path() {
    static const SaveFolder folder;
    return folder.path_;
  }

 private:
  std::string path_;
};

// Saves through the safe writer, loads the file by its path and compares.
void SaveAndLoad(DrawingFile& drawing, const Bytes& expected) {
  const std::string path = SaveFolder::Path() + "/drawing.pvx";
  FUZZ_CHECK(drawing.Save(path) == 0);
  FUZZ_CHECK(!drawing.IsModified());
  std::ifstream in(path, std::ios::binary);
  const Bytes saved{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  FUZZ_CHECK(saved == expected);
  DrawingFile again("");
  FUZZ_CHECK(again.Load(path) == 0);
  FUZZ_CHECK(WriteToMemory(again) == expected);
  std::remove(path.c_str());
}

void Run(std::span<const std::uint8_t> input) {
  DrawingFile first("");
  const int result = first.LoadFromMemory(input);
  FUZZ_CHECK(result == ExpectedLoadResult(input));
  if (result != 0) {
    FUZZ_CHECK(!first.IsLoaded() && first.Header().empty());
    FUZZ_CHECK(first.typeZeroEntities.GetSize() + first.symbolDefs.GetSize() +
                   first.otherEntities.GetSize() ==
               0);
    return;
  }
  FUZZ_CHECK(first.IsLoaded() && !first.IsModified());

  // Unchanged: every byte comes back, regrouped; in the same order when it already was grouped.
  CheckLists(first);
  CheckUseCounts(first, input);
  const auto pieces = SplitBody(input);
  FUZZ_CHECK(first.LoadedListing().size() == pieces.size());
  // The entity listing: a heading and one line of 6 + 10 + 10 characters per entity.
  const std::string listing = FormatEntityListing(first.LoadedListing());
  FUZZ_CHECK(listing.size() == (pieces.size() + 1) * 27);
  FUZZ_CHECK(static_cast<std::size_t>(std::count(listing.begin(), listing.end(), '\n')) ==
             pieces.size() + 1);
  const Bytes unchanged = WriteToMemory(first);
  FUZZ_CHECK(unchanged == ExpectedRegroupedFile(input));
  if (input.size() >= kHeaderSize) {
    FUZZ_CHECK(SameByteCounts(unchanged, Bytes(input.begin(), input.end())));
  }
  CheckReloadIsStable(unchanged);

  // The commands, on two documents loaded from the same bytes.
  DrawingFile second("");
  FUZZ_CHECK(second.LoadFromMemory(input) == 0);
  Script script(input);
  int commands = 0;
  while (!script.AtEnd()) {
    const std::uint8_t command = script.Next();
    DrawingFile& target = (command & 0x10) != 0 ? second : first;
    DrawingFile& other = &target == &first ? second : first;
    switch (command % 8) {
      case 0:
        Sort(target);
        break;
      case 1:
        Move(target, script, true);
        break;
      case 2:
        Move(target, script, false);
        break;
      case 3:
        Rename(target, script);
        break;
      case 4:
        DeleteWithReferences(target, script);
        break;
      case 5:
        DeleteUnused(target);
        break;
      case 6:
        Copy(other, target, script);
        break;
      default:
        FUZZ_CHECK(target.RemoveReferences(NewName(target, script)) >= 0);
        break;
    }
    CheckLists(target);
    ++commands;
  }

  for (DrawingFile* drawing : {&first, &second}) {
    const Bytes written = WriteToMemory(*drawing);
    FUZZ_CHECK(written.size() == TotalLength(*drawing));
    CheckReloadIsStable(written);
    // Saving goes through a temporary file and a sync, which is slow under the sanitizers. The
    // last header byte asks for it, and then one request in 16 is served - always the first, so
    // that an input run on its own to reproduce a failure saves.
    static unsigned saveRequests = 0;
    if (drawing == &first && commands > 0 && input.size() >= kHeaderSize &&
        input[kHeaderSize - 1] % 64 == 1 && saveRequests++ % 16 == 0) {
      SaveAndLoad(*drawing, written);
    }
  }
}

}  // namespace
}  // namespace runebin::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  runebin::fuzz::Run({data, size});
  return 0;
}
