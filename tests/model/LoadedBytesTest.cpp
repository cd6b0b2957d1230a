// A loaded document keeps the file's bytes and its entities refer into them: changes must reach
// what it writes, never the file it was loaded from, and it must stay whole when that file is
// replaced or overwritten.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "model/DrawingFile.h"
#include "model/NamedEntity.h"
#include "tests/support/DrawingBuilder.h"
#include "tests/support/TempDir.h"

namespace runebin {
namespace {

using namespace runebin::testing;

// Other records first, so that writing (type-0, definitions, others, each in file order)
// reorders the file.
const Bytes kTree = Definition("Tree", {Reference("Tree")}), kBig = Record(9, Bytes(300, 7));
const Bytes kFile =
    Drawing({Reference("Tree"), TypeZero(1), kTree, TypeZero(2), Definition("Bush"), kBig});

// What the document writes with these definitions and reference.
Bytes Expected(const Bytes& first, const Bytes& second, const Bytes& reference) {
  return Drawing({TypeZero(1), TypeZero(2), first, second, reference, kBig});
}
const Bytes kWritten = Expected(kTree, Definition("Bush"), Reference("Tree"));

TEST(LoadedBytes, ChangesReachTheOutputButNotTheLoadedFile) {
  struct Case {
    const char* what;
    std::function<void(DrawingFile&)> change;
    Bytes expected;
  };
  const Case cases[] = {
      {"rename a definition in place",
       [](DrawingFile& d) { d.SymbolDefs().GetAt(1).AsNamed()->SetName("Shrub"); },
       Expected(kTree, Definition("Shrub"), Reference("Tree"))},
      {"rename references, nested ones too",
       [](DrawingFile& d) { d.RenameReferences("Tree", "Oak"); },
       Expected(Definition("Tree", {Reference("Oak")}), Definition("Bush"), Reference("Oak"))},
      {"replace a definition by another's bytes",
       [](DrawingFile& d) { d.SymbolDefs().GetAt(1).Assign(d.SymbolDefs().GetAt(0)); },
       Expected(kTree, kTree, Reference("Tree"))},
  };
  for (const Case& c : cases) {
    TempDir dir;
    const std::string path = dir.Write("a.pvx", kFile);
    DrawingFile drawing("");
    ASSERT_EQ(drawing.Load(path), LoadResult::Loaded);
    c.change(drawing);
    EXPECT_EQ(Written(drawing), c.expected) << c.what;
    EXPECT_EQ(ReadFileBytes(path), kFile) << c.what;
    // And the same again after a reload: nothing of the last document is left behind.
    ASSERT_EQ(drawing.Load(path), LoadResult::Loaded);
    EXPECT_EQ(Written(drawing), kWritten) << c.what;
  }
}

// Saving over the loaded file, also under another of its names (hard links are overwritten in
// place), writes the changed document, and the document stays whole afterwards.
TEST(LoadedBytes, SavesOverTheFileItWasLoadedFrom) {
  const Bytes expected = Expected(kTree, Definition("Shrub"), Reference("Tree"));
  for (const bool linked : {false, true}) {
    TempDir dir;
    const std::string path = dir.Write("a.pvx", kFile);
    const std::string other = dir.Path("b.pvx");
    if (linked) {
      std::filesystem::create_hard_link(Utf8Path(path), Utf8Path(other));
    }
    DrawingFile drawing("");
    ASSERT_EQ(drawing.Load(path), LoadResult::Loaded);
    drawing.SymbolDefs().GetAt(1).AsNamed()->SetName("Shrub");
    drawing.SetModified(true);
    ASSERT_EQ(drawing.Save(linked ? other : path).result, SaveResult::Saved);
    EXPECT_FALSE(drawing.IsModified());
    EXPECT_EQ(ReadFileBytes(path), expected);  // linked: the name not saved to
    EXPECT_EQ(Written(drawing), expected);
    // The file changes under the document, which no longer depends on it.
    dir.Write("a.pvx", Bytes(kFile.size(), 0));
    EXPECT_EQ(Written(drawing), expected);
  }
}

}  // namespace
}  // namespace runebin
