#include "symbols/Analysis.h"

#include <gtest/gtest.h>

#include "tests/support/DrawingBuilder.h"

namespace runebin {
namespace {

using namespace runebin::testing;

const Extents kUnit{0, 0, 1, 1};

TEST(Check, EachFindingOnASmallFile) {
  const Bytes a = Definition("A", {}, kUnit);
  const Bytes cutTail = {3, 0, 0, 0, 9};  // a length below 5: unreadable from here on
  const struct {
    std::vector<Bytes> records;
    std::string expected;
  } rows[] = {
      {{a, Definition("B", {Reference("A")}, kUnit), Reference("B"), Reference("A")}, ""},
      {{a, Reference("X"), Reference("X"), Reference("A")},
       "2 references to \"X\", which no symbol defines\n"},
      {{Definition("A", {Group(17, {Reference("X")})}, kUnit), Reference("A"), Group(17, {}),
        Group(18, {Reference("Y")})},
       "symbol 0 \"A\" places \"X\", which no symbol defines\n"
       "group 2 places \"Y\", which no symbol defines\n"},
      {{a, Definition("A", {}, kUnit), Reference("A")},
       "symbol 0 \"A\" shares its name with symbol 1, which references place\n"},
      {{Definition("", {}, kUnit)}, "symbol 0 has an empty name\n"},
      // B is placed only from inside A; C also from a top-level group, D from nothing at all
      {{Definition("B", {}, kUnit), Definition("C", {}, kUnit), Definition("D", {}, kUnit),
        Definition("A", {Reference("B"), Reference("C")}, kUnit), Reference("A"),
        Group(17, {Reference("C")})},
       "symbol 0 \"B\" is placed only from inside other symbols (its use count shows 0)\n"},
      {{a, Reference("A"), cutTail}, "unreadable data from byte 310 to the end of the file\n"},
      {{Definition("A", {}, {}, 60)},
       "symbol 0 \"A\" has a definition record of 60 bytes, shorter than its 88 bytes of fields\n"},
      {{Definition("A", {}, {0, 2, 1, 1})}, "symbol 0 \"A\" has extents with low above high\n"},
  };
  for (const auto& row : rows) {
    LoadedDrawing drawing(Drawing(row.records));
    std::string actual;
    for (const Finding& finding : CheckDrawing(drawing)) {
      actual += DescribeFinding(finding) + "\n";
    }
    EXPECT_EQ(actual, row.expected);
  }
}

TEST(Uses, TransitivelyWithDepthThroughCycles) {
  // X <- A, C, E (E also places itself); A <- B <- group; C <- D; D <- A closes a cycle
  LoadedDrawing drawing(
      Drawing({Definition("A", {Reference("X"), Reference("D")}),
               Definition("B", {Reference("A"), Reference("A")}), Definition("C", {Reference("X")}),
               Definition("D", {Reference("C")}), Definition("E", {Reference("E"), Reference("X")}),
               Reference("X"), Group(17, {Reference("B")}), Reference("X"), Definition("F")}));
  const Uses uses = FindUses(drawing, "X");
  std::string actual = std::to_string(uses.topLevel);
  for (const Placer& p : uses.placers) {
    actual += " " + std::to_string(p.depth) + (p.isGroup ? ":group " : ":") +
              std::to_string(p.index) + p.name;
  }
  EXPECT_EQ(actual, "2 1:0A 1:2C 1:4E 2:1B 2:3D 3:group 1");
  EXPECT_EQ(FindUses(drawing, "F").placers.size(), 0U);
  // Nested references only, each one counted, for the last definition of a name.
  EXPECT_EQ(NestedUseCounts(drawing), (std::vector<int>{2, 1, 1, 1, 1, 0}));
  const LoadedDrawing repeated(
      Drawing({Definition("L"), Definition("L"), Definition("T", {Reference("L")})}));
  EXPECT_EQ(NestedUseCounts(repeated), (std::vector<int>{0, 1, 0}));
}

TEST(Diff, SymbolSetsContentsAndOrder) {
  Bytes tail = Definition("Q", {Reference("P")});
  tail[56 + 5] = 'z';  // behind the name's zero: not part of the name
  const struct {
    std::vector<Bytes> a, b;
    std::string expected;  // only in A | only in B | changed | order
  } rows[] = {
      {{Definition("P"), Definition("Q", {Reference("P")})}, {Definition("P"), tail}, "|||same"},
      {{Definition("P"), Definition("Q")}, {Definition("Q"), Definition("P")}, "|||moved"},
      {{Definition("P"), Definition("Q", {}, kUnit), Definition("R")},
       {Definition("S"), Definition("Q"), Definition("P", {Reference("Q")})},
       "R|S|P Q |moved"},
  };
  for (const auto& row : rows) {
    LoadedDrawing a(Drawing(row.a)), b(Drawing(row.b));
    const SymbolDiff diff = DiffSymbols(a, b);
    std::string actual;
    for (const auto* names : {&diff.onlyInA, &diff.onlyInB, &diff.changed}) {
      for (const std::string& name : *names) {
        actual += name + (names == &diff.changed ? " " : "");
      }
      actual += "|";
    }
    EXPECT_EQ(actual + (diff.orderDiffers ? "moved" : "same"), row.expected);
    EXPECT_EQ(diff.SameSymbols(), row.expected.starts_with("|||"));
  }
}

TEST(Dependencies, TransitiveOncePerDefinitionLastOfEachName) {
  LoadedDrawing drawing(Drawing(
      {Definition("C", {Reference("missing")}), Definition("A", {Reference("B")}),
       Definition("B", {Reference("C"), Reference("A"), Reference("C")}), Definition("C")}));
  EXPECT_EQ(Dependencies(drawing, 1), (std::vector<int>{2, 3}));
}

}  // namespace
}  // namespace runebin
