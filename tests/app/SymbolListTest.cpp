#include "model/NamedEntity.h"
#include "tests/app/AppTest.h"

namespace runebin::testing {
namespace {

class SymbolList : public AppTest {
 protected:
  std::string FiveSymbols() {
    return WriteDrawing("five.pvx", {Definition("a"), Definition("b"), Definition("c"),
                                     Definition("d", {}, {0, 0, 2, 2}), Definition("e")});
  }
};

TEST_F(SymbolList, UpMovesTheSymbolAndKeepsItSelected) {
  Open1(FiveSymbols());
  Select(ids::kList1, 3);
  const std::string details = Text(ids::kDetails);
  Press(ids::kUp1);
  EXPECT_EQ(Lines(ids::kList1), (Names{"a", "b", "d", "c", "e"}));
  EXPECT_EQ(Selection(ids::kList1), 2);
  EXPECT_TRUE(dialog.Pane1().drawing.IsModified());
  EXPECT_EQ(Text(ids::kDetails), details);  // still the moved symbol's details
}

TEST_F(SymbolList, DnMovesTheSymbolAndKeepsItSelected) {
  Open2(FiveSymbols());
  Select(ids::kList2, 0);
  Press(ids::kDn2);
  EXPECT_EQ(Lines(ids::kList2), (Names{"b", "a", "c", "d", "e"}));
  EXPECT_EQ(Selection(ids::kList2), 1);
}

TEST_F(SymbolList, MovesPastTheEndsDoNothing) {
  Open1(FiveSymbols());
  Select(ids::kList1, 0);
  dialog.OnCommand(ids::kUp1);  // disabled on the first line; the command still refuses
  Select(ids::kList1, 4);
  dialog.OnCommand(ids::kDn1);
  Select(ids::kList1, -1);
  dialog.OnCommand(ids::kUp1);
  dialog.OnCommand(ids::kDn1);
  EXPECT_EQ(Lines(ids::kList1), (Names{"a", "b", "c", "d", "e"}));
  EXPECT_FALSE(dialog.Pane1().drawing.IsModified());
  EXPECT_TRUE(Messages().empty());
}

TEST_F(SymbolList, SortOrdersByBytesAndKeepsTheSelectedLineIndex) {
  Open1(
      WriteDrawing("a.pvx", {Definition("b"), Definition("B"), Definition("a"), Definition("A")}));
  Select(ids::kList1, 0);
  Press(ids::kSort1);
  EXPECT_EQ(Lines(ids::kList1), (Names{"A", "B", "a", "b"}));
  EXPECT_EQ(Selection(ids::kList1), 0);  // the line, not the symbol
  EXPECT_TRUE(dialog.Pane1().drawing.IsModified());
}

TEST_F(SymbolList, SortKeepsTheExchangeOrderOfEqualNames) {
  Open1(WriteDrawing("a.pvx", {Definition("B", {}, {0, 0, 1, 1}), Definition("B", {}, {0, 0, 2, 2}),
                               Definition("A")}));
  Press(ids::kSort1);
  Select(ids::kList1, 1);
  EXPECT_EQ(Text(ids::kDetails), "Used 0 times\nWidth: 2.00\nHeight: 2.00\n");  // B (second)
}

TEST_F(SymbolList, SortOfASortedListChangesNothing) {
  Open1(WriteDrawing("a.pvx", {Definition("A"), Definition("B"), Definition("a")}));
  const int fills = ui.ListFills(ids::kList1);
  Press(ids::kSort1);
  EXPECT_EQ(ui.ListFills(ids::kList1), fills);  // not rebuilt
  EXPECT_FALSE(dialog.Pane1().drawing.IsModified());
}

TEST_F(SymbolList, RefreshKeepsEachListsSelectionByIndex) {
  Open1(FiveSymbols());
  Open2(WriteDrawing("b.pvx", {Definition("x"), Definition("y")}));
  Select(ids::kList1, 2);
  Select(ids::kList2, 1);
  Press(ids::kSort1);  // nothing to sort; Up refreshes both
  Select(ids::kList1, 2);
  Press(ids::kUp1);
  EXPECT_EQ(Selection(ids::kList1), 1);
  EXPECT_EQ(Selection(ids::kList2), 1);
  EXPECT_EQ(Lines(ids::kList2), (Names{"x", "y"}));
}

TEST_F(SymbolList, OrderChangesAreWrittenBackOnClose) {
  const auto path = FiveSymbols();
  Open1(path);
  Select(ids::kList1, 4);
  Press(ids::kUp1);
  Press(ids::kOpenClose1);
  EXPECT_EQ(ReadFileBytes(path), Drawing({Definition("a"), Definition("b"), Definition("c"),
                                          Definition("e"), Definition("d", {}, {0, 0, 2, 2})}));
}

}  // namespace
}  // namespace runebin::testing
