#include "tests/app/AppTest.h"

namespace runebin::testing {
namespace {

class CommandStates : public AppTest {
 protected:
  std::string ThreeSymbols() {
    return WriteDrawing("three.pvx", {Definition("a"), Definition("b"), Definition("c")});
  }
};

TEST_F(CommandStates, UpAndDnFollowThePositionOfTheSelection) {
  Open1(ThreeSymbols());
  struct Row {
    int selected;
    bool up, dn;
  };
  for (const Row row : {Row{0, false, true}, Row{1, true, true}, Row{2, true, false}}) {
    Select(ids::kList1, row.selected);
    EXPECT_EQ(Enabled(ids::kUp1), row.up) << row.selected;
    EXPECT_EQ(Enabled(ids::kDn1), row.dn) << row.selected;
    EXPECT_TRUE(Enabled(ids::kDelete1));
    EXPECT_TRUE(Enabled(ids::kRename1));
    EXPECT_TRUE(Enabled(ids::kSort1));
  }
  Open2(WriteDrawing("one.pvx", {Definition("only")}));
  Select(ids::kList2, 0);
  EXPECT_FALSE(Enabled(ids::kUp2));
  EXPECT_FALSE(Enabled(ids::kDn2));
  EXPECT_TRUE(Enabled(ids::kDelete2));
}

TEST_F(CommandStates, CopyPointsOnlyTowardAWritableFile) {
  const auto first = ThreeSymbols();
  const auto second = WriteDrawing("b.pvx", {Definition("x")});
  Open1(first);
  Select(ids::kList1, 0);  // File 2 empty
  EXPECT_FALSE(Enabled(ids::kCopy));
  EXPECT_EQ(Text(ids::kCopy), "Copy");

  Open2(second, true);
  Select(ids::kList1, 1);  // File 2 read-only
  EXPECT_FALSE(Enabled(ids::kCopy));
  EXPECT_EQ(Text(ids::kCopy), "Copy");
  Select(ids::kList2, 0);  // toward File 1, which is writable
  EXPECT_TRUE(Enabled(ids::kCopy));
  EXPECT_EQ(Text(ids::kCopy), "<<< Copy <<<");

  Press(ids::kOpenClose2);
  EXPECT_FALSE(Enabled(ids::kCopy));
  EXPECT_EQ(Text(ids::kCopy), "Copy");
  Open2(second);
  Select(ids::kList1, 1);
  EXPECT_TRUE(Enabled(ids::kCopy));
  EXPECT_EQ(Text(ids::kCopy), ">>> Copy >>>");
}

TEST_F(CommandStates, OpeningTheOtherPaneDoesNotEnableCopyForAnOldSelection) {
  Open1(ThreeSymbols());
  Select(ids::kList1, 0);
  Open2(WriteDrawing("b.pvx", {}));
  EXPECT_FALSE(Enabled(ids::kCopy));
  EXPECT_EQ(Selection(ids::kList1), 0);  // the selection itself stays
}

TEST_F(CommandStates, ClearingTheSelectionTurnsTheSelectionCommandsOff) {
  Open1(ThreeSymbols());
  Select(ids::kList1, 1);
  Select(ids::kList1, -1);
  for (const int id : {ids::kUp1, ids::kDn1, ids::kDelete1, ids::kRename1, ids::kCopy}) {
    EXPECT_FALSE(Enabled(id)) << id;
  }
  EXPECT_TRUE(Enabled(ids::kSort1));
  EXPECT_EQ(Text(ids::kDetails), "");
}

TEST_F(CommandStates, FileWithoutSymbolsStillOffersSortXUnusedAndImport) {
  Open1(WriteDrawing("empty.pvx", {Reference("Tree")}));
  EXPECT_TRUE(Enabled(ids::kSort1));
  EXPECT_TRUE(Enabled(ids::kXUnused1));
  EXPECT_TRUE(Enabled(ids::kImport1));
}

TEST_F(CommandStates, File2ImportFollowsTheRuleOnceFile2WasComputed) {
  const auto path = WriteDrawing("b.pvx", {});
  Open2(path);
  EXPECT_TRUE(Enabled(ids::kImport2));
  Press(ids::kOpenClose2);
  EXPECT_FALSE(Enabled(ids::kImport2));
}

TEST_F(CommandStates, DetailsDescribeTheSelectedSymbol) {
  Open1(WriteDrawing("a.pvx",
                     {Definition("Tree", {}, {1.0F, 2.0F, 13.5F, 5.0F}), Definition("Dot"),
                      Definition("Flipped", {}, {4, 4, 1, 3}),
                      Definition("Wide", {}, {0.25F, 0, 16777216.0F, 0}), Reference("Tree")}));
  Select(ids::kList1, 0);
  EXPECT_EQ(Text(ids::kDetails), "Used 1 times\nWidth: 12.50\nHeight: 3.00\n");
  Select(ids::kList1, 1);
  EXPECT_EQ(Text(ids::kDetails), "Used 0 times\nWidth: 0.00\nHeight: 0.00\n");
  Select(ids::kList1, 2);
  EXPECT_EQ(Text(ids::kDetails), "Used 0 times\nWidth: -3.00\nHeight: -1.00\n");
  // Taken in single precision: 16777216 - 0.25 rounds to 16777216.
  Select(ids::kList1, 3);
  EXPECT_EQ(Text(ids::kDetails), "Used 0 times\nWidth: 16777216.00\nHeight: 0.00\n");
}

TEST_F(CommandStates, DetailsStayAfterACommandUntilTheSelectionChanges) {
  Open1(ThreeSymbols());
  Select(ids::kList1, 1);
  const std::string before = Text(ids::kDetails);
  ui.AnswerYes();
  ui.AnswerNo();
  Press(ids::kDelete1);
  EXPECT_EQ(Text(ids::kDetails), before);
  EXPECT_TRUE(Enabled(ids::kDelete1));
}

}  // namespace
}  // namespace runebin::testing
