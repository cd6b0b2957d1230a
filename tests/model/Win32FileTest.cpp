// What only Windows has: the no-sharing hold, the read-only attribute, the attributes a
// replacement keeps, UTF-16 file names, and the entity listing at c:\entities.txt.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>

#include "model/DrawingFile.h"
#include "model/NamedEntity.h"
#include "platform/FileNames.h"
#include "tests/support/DrawingBuilder.h"
#include "tests/support/TempDir.h"

namespace runebin {
namespace {

using namespace runebin::testing;

// Windows sets the archive attribute on every write; the others are the user's.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

DWORD AttributesOf(const std::string& path) {
  return ::GetFileAttributesW(platform::Widen(path).c_str()) & kKeptAttributes;
}

// Each row: a drawing is loaded, a symbol renamed (to a name outside ASCII), the file's
// attributes set or another handle opened on it, and the drawing saved back.
TEST(Win32Files, SaveRefusesOrReplacesKeepingAttributes) {
  TempDir dir;
  const std::string folderName = "Zeichnungen \xC3\xA4 \xE9\x9B\xAA";  // "ä 雪"
  const std::string folder = dir.Path(folderName);
  ASSERT_TRUE(::CreateDirectoryW(platform::Widen(folder).c_str(), nullptr));
  const Bytes original = Drawing({Definition("Tree"), Reference("Tree")});
  const std::string renamed = "Caf\xC3\xA9 \xE9\x9B\xAA";
  const struct {
    const char* file;
    DWORD attributes;
    bool heldElsewhere;
    SaveResult result;
  } rows[] = {
      {"plain.pvx", FILE_ATTRIBUTE_NORMAL, false, SaveResult::Saved},
      {"hidden \xC3\xB8.pvx", FILE_ATTRIBUTE_HIDDEN, false, SaveResult::Saved},
      {"system.pvx", FILE_ATTRIBUTE_SYSTEM, false, SaveResult::Saved},
      {"read-only.pvx", FILE_ATTRIBUTE_READONLY, false, SaveResult::NotWritable},
      {"held.pvx", FILE_ATTRIBUTE_NORMAL, true, SaveResult::InUse},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.file);
    const std::string path = folder + "\\" + row.file;
    {
      DrawingFile drawing{""};
      ASSERT_EQ(drawing.Load(dir.Write(path.substr(dir.Path().size() + 1), original)),
                LoadResult::Loaded);
      drawing.SymbolDefs().GetAt(0).AsNamed()->SetName(renamed);
      drawing.SetModified(true);
      ASSERT_TRUE(::SetFileAttributesW(platform::Widen(path).c_str(), row.attributes));
      std::optional<FileHeldElsewhere> other;
      if (row.heldElsewhere) {
        other.emplace(path);
      }
      EXPECT_EQ(drawing.Save(path).result, row.result);
    }
    EXPECT_EQ(AttributesOf(path), row.attributes & kKeptAttributes);
    EXPECT_EQ(dir.List(folderName).size(), 1U) << "a temporary file was left behind";
    ::SetFileAttributesW(platform::Widen(path).c_str(), FILE_ATTRIBUTE_NORMAL);
    DrawingFile reloaded{""};
    ASSERT_EQ(reloaded.Load(path), LoadResult::Loaded);
    EXPECT_EQ(reloaded.SymbolDefs().GetAt(0).AsNamed()->GetName(),
              row.result == SaveResult::Saved ? renamed : "Tree");
    if (row.result != SaveResult::Saved) {
      EXPECT_EQ(ReadFileBytes(path), original);
    }
    ASSERT_TRUE(::DeleteFileW(platform::Widen(path).c_str()));
  }
}

TEST(Win32Files, TheEntityListingGoesToTheRootOfDriveC) {
  TempDir dir;
  ::DeleteFileW(L"c:\\entities.txt");
  DrawingFile drawing;
  ASSERT_EQ(drawing.Load(dir.Write("a.pvx", Drawing({Definition("A")}))), LoadResult::Loaded);
  const Bytes listing = ReadFileBytes("c:\\entities.txt");
  EXPECT_EQ(std::string(listing.begin(), listing.end()),
            "     #      Type   SubType\r\n     0        28         0\r\n");
  ::DeleteFileW(L"c:\\entities.txt");
}

}  // namespace
}  // namespace runebin
