#include "tests/app/AppTest.h"

namespace runebin::testing {
namespace {

TEST(Startup, ShowsTheAboutBoxFirstThenTheMainWindowUntilDone) {
  FakeToolkit ui;
  ui.session = [&](WindowEvents& window) { ui.Press(window, ids::kDone); };
  EXPECT_EQ(RunApplication(ui), 0);
  EXPECT_EQ(ui.journal, (Names{"about box", "main window", "main window ended"}));
  EXPECT_TRUE(ui.messages.empty());
}

using MainWindow = AppTest;

TEST_F(MainWindow, StartsAsTheLayoutSays) {
  EXPECT_EQ(Text(ids::kCaption1), "File 1");
  EXPECT_EQ(Text(ids::kCaption2), "File 2");
  EXPECT_EQ(Text(ids::kOpenClose1), "Open...");
  EXPECT_TRUE(Enabled(ids::kOpenClose1));
  EXPECT_FALSE(Enabled(ids::kImport1));
  EXPECT_TRUE(Enabled(ids::kImport2));  // File 2's Import starts enabled
  EXPECT_FALSE(Enabled(ids::kCopy));
  EXPECT_EQ(Text(ids::kCopy), "Copy");
  for (const int id : {ids::kScaleAll1, ids::kRefPage1, ids::kScaleAll2, ids::kRefPage2}) {
    EXPECT_FALSE(ui.IsControlShown(id)) << id;
  }
  EXPECT_EQ(Text(ids::kDetails), "");
}

TEST_F(MainWindow, ImportOfFile2OnlyExplains) {
  Press(ids::kImport2);
  EXPECT_EQ(Messages(), (Names{"Import only allowed on File 1"}));
  EXPECT_TRUE(ui.fileDialogs.empty());
  EXPECT_TRUE(Enabled(ids::kImport2));
}

TEST_F(MainWindow, HiddenButtonsStillRouteTheirCommands) {
  // Never shown, but the window's command table still knows them.
  dialog.OnCommand(ids::kRefPage1);
  dialog.OnCommand(ids::kRefPage2);
  dialog.OnCommand(ids::kScaleAll1);
  dialog.OnCommand(ids::kScaleAll2);
  EXPECT_EQ(Messages(), (Names{"Reference page printing not implemented",
                               "Reference page printing not implemented"}));
}

TEST_F(MainWindow, AboutCommandShowsTheAboutBoxAndLeavesThePanes) {
  const auto path = WriteDrawing("a.pvx", {Definition("Tree")});
  Open1(path);
  Select(ids::kList1, 0);
  dialog.OnCommand(ids::kAboutCommand);
  EXPECT_EQ(ui.aboutBoxes, 1);
  EXPECT_EQ(Text(ids::kCaption1), path);
  EXPECT_EQ(Selection(ids::kList1), 0);
  EXPECT_FALSE(dialog.Pane1().drawing.IsModified());
}

TEST_F(MainWindow, IndexOutOfStepIsReportedBeforeAnythingChanges) {
  const auto path = WriteDrawing("a.pvx", {Definition("a"), Definition("b"), Reference("b")});
  Open1(path);
  Open2(WriteDrawing("b.pvx", {}));
  Select(ids::kList1, 1);
  ASSERT_EQ(Text(ids::kCopy), ">>> Copy >>>");
  // Something put the list box out of step with the file: line 3 has no symbol.
  ui.ListSetLines(ids::kList1, {"a", "b", "c", "d"});
  ui.ListSetSelection(ids::kList1, 3);
  for (const int command : {ids::kUp1, ids::kRename1, ids::kDelete1, ids::kCopy}) {
    dialog.OnCommand(command);
  }
  dialog.OnSelectionChange(ids::kList1);
  EXPECT_EQ(Messages(), Names(5, "An invalid argument was encountered."));
  EXPECT_TRUE(ui.renameDialogs.empty());
  EXPECT_FALSE(dialog.Pane1().drawing.IsModified());
  EXPECT_EQ(dialog.Pane1().drawing.symbolDefs.GetSize(), 2);
  EXPECT_EQ(dialog.Pane1().drawing.otherEntities.GetSize(), 1);
  EXPECT_FALSE(dialog.Pane2().drawing.IsModified());
}

}  // namespace
}  // namespace runebin::testing
