#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>

#include "metafile/RecordKinds.h"

namespace runebin {
namespace {

TEST(RecordKindTable, Has71RowsWith21HandledAndNoSharedLowByte) {
  EXPECT_EQ(RecordKindTable.size(), 71u);
  std::set<int> lowBytes;
  std::set<std::string_view> names;
  int handled = 0;
  for (const RecordKind& kind : RecordKindTable) {
    EXPECT_TRUE(lowBytes.insert(kind.function & 0xFF).second) << kind.name;
    EXPECT_TRUE(names.insert(kind.name).second) << kind.name;
    handled += kind.handled ? 1 : 0;
  }
  EXPECT_EQ(handled, 21);
}

TEST(RecordKindTable, HandledKindsAreTheConvertedOnes) {
  std::set<std::uint16_t> handled;
  for (const RecordKind& kind : RecordKindTable) {
    if (kind.handled) {
      handled.insert(kind.function);
    }
  }
  EXPECT_EQ(handled,
            (std::set<std::uint16_t>{0x0201, 0x0209, 0x020B, 0x020C, 0x020D, 0x020E, 0x0418,
                                     0x041B, 0x001E, 0x0324, 0x0325, 0x0127, 0x012D, 0x0234,
                                     0x0035, 0x0538, 0x01F0, 0x00F7, 0x00F8, 0x02FA, 0x02FC}));
}

TEST(RecordKindTable, ObjectCreatingKindsAreMarked) {
  std::set<std::uint16_t> creating;
  for (const RecordKind& kind : RecordKindTable) {
    if (kind.createsObject) {
      creating.insert(kind.function);
    }
  }
  EXPECT_EQ(creating, (std::set<std::uint16_t>{0x00F7, 0x00F8, 0x01F9, 0x02FA, 0x02FB, 0x02FC,
                                               0x02FD, 0x06FE, 0x06FF, 0x0142}));
}

TEST(RecordKindIndex, FindsRowsByTheLowByteAlone) {
  const auto name = [](std::uint16_t function) -> std::string_view {
    const int row = FindRecordKind(function);
    return row == kNoKind ? "none" : RecordKindTable[static_cast<std::size_t>(row)].name;
  };
  EXPECT_EQ(name(0x0324), "Polygon");
  EXPECT_EQ(name(0x0124), "Polygon");  // same low byte: the walk hands it on, nothing acts on it
  EXPECT_EQ(name(0x0400), "ScaleWindowExt");
  EXPECT_EQ(name(0x0000), "ScaleWindowExt");
  EXPECT_EQ(name(0x0410), "none");  // the standard ScaleWindowExt number has no row
  EXPECT_EQ(name(0x0048), "none");
  EXPECT_TRUE(IsHandedToConverter(0x0324));
  EXPECT_TRUE(IsHandedToConverter(0x02FB));   // a font: not drawn, but it takes a slot
  EXPECT_FALSE(IsHandedToConverter(0x0213));  // LineTo
  EXPECT_FALSE(IsHandedToConverter(0x0010));
}

// The team's metafile survey script names every record function; the table must agree with it
// on every kind both know, ScaleWindowExt excepted.
TEST(RecordKindTable, FunctionNumbersAgreeWithTheSurveyScript) {
  std::ifstream script(RUNEBIN_CORPUS_DIR "/../wmfstat.py");
  if (!script) {
    GTEST_SKIP() << "the survey script beside the shared corpus is absent";
  }
  std::map<std::string, int> known;
  const std::regex entry(R"re(^\s*0x([0-9A-Fa-f]{4}): "(\w+)",)re");
  for (std::string line; std::getline(script, line);) {
    std::smatch match;
    if (std::regex_search(line, match, entry)) {
      known[match[2]] = std::stoi(match[1], nullptr, 16);
    }
  }
  ASSERT_GT(known.size(), 60u);
  for (const RecordKind& kind : RecordKindTable) {
    const auto found = known.find(std::string(kind.name));
    ASSERT_NE(found, known.end()) << kind.name;
    const int expected = kind.name == "ScaleWindowExt" ? 0x0400 : found->second;
    EXPECT_EQ(kind.function, expected) << kind.name;
  }
}

}  // namespace
}  // namespace runebin
