#include "model/NamedEntity.h"
#include "tests/app/AppTest.h"

namespace runebin::testing {
namespace {

// --- Rename

using RenameCommand = AppTest;

TEST_F(RenameCommand, RenamesTheSymbolAndItsReferencesAndReports) {
  const auto path =
      WriteDrawing("a.pvx", {Definition("Bush"), Definition("Tree"), Reference("Tree"),
                             Reference("tree"), Reference("Tree"), Reference("Tree")});
  Open1(path);
  Select(ids::kList1, 1);
  ui.EnterRename("Oak");
  Press(ids::kRename1);
  ASSERT_EQ(ui.renameDialogs.size(), 1U);
  EXPECT_EQ(ui.renameDialogs[0].m_oldName, "Tree");
  EXPECT_EQ(ui.renameDialogs[0].m_newName, "Tree");
  EXPECT_EQ(Messages(), (Names{"3 references renamed from\n\"Tree\" to\n\"Oak\"."}));
  EXPECT_EQ(Lines(ids::kList1), (Names{"Bush", "Oak"}));
  EXPECT_EQ(Selection(ids::kList1), 1);
  Press(ids::kOpenClose1);
  EXPECT_EQ(ReadFileBytes(path), Drawing({Definition("Bush"), Definition("Oak"), Reference("Oak"),
                                          Reference("tree"), Reference("Oak"), Reference("Oak")}));
}

TEST_F(RenameCommand, UnreferencedOrSameNameStillMarksTheFile) {
  Open1(WriteDrawing("a.pvx", {Definition("Tree"), Definition("Lone")}));
  Select(ids::kList1, 1);
  ui.EnterRename("Alone");
  Press(ids::kRename1);
  EXPECT_TRUE(Messages().empty());
  EXPECT_TRUE(dialog.Pane1().drawing.IsModified());
  Press(ids::kOpenClose1);
  Open1(WriteDrawing("b.pvx", {Definition("Tree")}));
  Select(ids::kList1, 0);
  ui.EnterRename("Tree");
  Press(ids::kRename1);
  EXPECT_TRUE(dialog.Pane1().drawing.IsModified());
}

TEST_F(RenameCommand, CancelChangesNothing) {
  Open1(WriteDrawing("a.pvx", {Definition("Tree"), Reference("Tree")}));
  Select(ids::kList1, 0);
  ui.CancelRename();
  Press(ids::kRename1);
  EXPECT_EQ(Lines(ids::kList1), (Names{"Tree"}));
  EXPECT_FALSE(dialog.Pane1().drawing.IsModified());
  EXPECT_TRUE(Messages().empty());
}

TEST_F(RenameCommand, TooLongNameIsRefusedUntilShortened) {
  Open2(WriteDrawing("a.pvx", {Definition("Tree")}));
  Select(ids::kList2, 0);
  ui.EnterRename(std::string(32, 'n'));
  ui.EnterRename(std::string(31, 'n'));
  Press(ids::kRename2);
  EXPECT_EQ(Messages(), (Names{"Please enter no more than 31 characters."}));
  ASSERT_EQ(ui.refusals.size(), 1U);
  EXPECT_EQ(ui.refusals[0].controlId, ids::kRenameNewName);
  EXPECT_EQ(Lines(ids::kList2), (Names{std::string(31, 'n')}));
}

TEST_F(RenameCommand, NoSelectionOpensNoDialog) {
  Open1(WriteDrawing("a.pvx", {Definition("a"), Definition("b")}));
  Select(ids::kList1, 1);
  ui.AnswerYes();
  ui.AnswerNo();
  Press(ids::kDelete1);  // the last line goes, so no line is selected; Rename stays enabled
  EXPECT_EQ(Selection(ids::kList1), -1);
  Press(ids::kRename1);
  EXPECT_TRUE(ui.renameDialogs.empty());
}

// --- Copy

class CopyCommand : public AppTest {
 protected:
  void SetUp() override {
    source = WriteDrawing(
        "source.pvx", {Definition("Tree", {Reference("Leaf")}, {0, 0, 4, 4}), Definition("oak"),
                       Reference("Tree"), Reference("Tree"), Reference("Tree"), Reference("Tree")});
    target = WriteDrawing("target.pvx", {Definition("Oak"), Definition("Rock")});
    Open1(source);
    Open2(target);
  }
  std::string source, target;
};

TEST_F(CopyCommand, AddsAMissingNameAtTheEndWithItsUseCount) {
  Select(ids::kList1, 0);
  Press(ids::kCopy);
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(Lines(ids::kList2), (Names{"Oak", "Rock", "Tree"}));
  EXPECT_TRUE(dialog.Pane2().drawing.IsModified());
  EXPECT_FALSE(dialog.Pane1().drawing.IsModified());
  Select(ids::kList2, 2);
  EXPECT_EQ(Text(ids::kDetails), "Used 4 times\nWidth: 4.00\nHeight: 4.00\n");
  Press(ids::kDone);
  EXPECT_EQ(ReadFileBytes(target),
            Drawing({Definition("Oak"), Definition("Rock"),
                     Definition("Tree", {Reference("Leaf")}, {0, 0, 4, 4})}));
}

TEST_F(CopyCommand, SecondCopyAsksToReplaceNamingTheTargetFile) {
  Select(ids::kList1, 0);
  Press(ids::kCopy);
  Press(ids::kOpenClose2);  // written; the question below must then change nothing
  Open2(target);
  Select(ids::kList1, 0);
  ui.AnswerNo();
  Press(ids::kCopy);
  EXPECT_FALSE(dialog.Pane1().drawing.IsModified());
  EXPECT_FALSE(dialog.Pane2().drawing.IsModified());
  EXPECT_EQ(Messages(), (Names{"There is already a symbol named\n\"Tree\"\nin file\n\"" + target +
                               "\".\nReplace it?"}));
  EXPECT_EQ(ui.messages[0].kind, MessageKind::YesNo);
  EXPECT_EQ(Lines(ids::kList2), (Names{"Oak", "Rock", "Tree"}));
}

TEST_F(CopyCommand, CaseDifferentNameIsAnotherSymbol) {
  Select(ids::kList2, 0);  // "Oak", copied toward File 1, which has "oak"
  EXPECT_EQ(Text(ids::kCopy), "<<< Copy <<<");
  Press(ids::kCopy);
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(Lines(ids::kList1), (Names{"Tree", "oak", "Oak"}));
  EXPECT_TRUE(dialog.Pane1().drawing.IsModified());
  EXPECT_FALSE(dialog.Pane2().drawing.IsModified());
}

TEST_F(CopyCommand, ReplaceOverwritesTheTargetsDefinitionInPlace) {
  const auto other = WriteDrawing("other.pvx", {Definition("Tree"), Definition("Rock")});
  Press(ids::kOpenClose2);
  Open2(other);
  Select(ids::kList1, 0);
  ui.AnswerYes();
  Press(ids::kCopy);
  EXPECT_EQ(Lines(ids::kList2), (Names{"Tree", "Rock"}));
  Select(ids::kList2, 0);
  EXPECT_EQ(Text(ids::kDetails), "Used 4 times\nWidth: 4.00\nHeight: 4.00\n");
  Press(ids::kOpenClose2);
  EXPECT_EQ(ReadFileBytes(other),
            Drawing({Definition("Tree", {Reference("Leaf")}, {0, 0, 4, 4}), Definition("Rock")}));
}

TEST_F(CopyCommand, LabelWithoutADirectionIsAnInternalOddity) {
  Select(ids::kList1, 0);
  ui.SetControlText(ids::kCopy, "Copy");
  Press(ids::kCopy);
  EXPECT_EQ(Messages(), (Names{"Something odd is happening internally"}));
  EXPECT_FALSE(dialog.Pane2().drawing.IsModified());
}

// --- Delete

class DeleteCommand : public AppTest {
 protected:
  std::string TreeFile() {
    return WriteDrawing(
        "a.pvx", {Definition("Bush"), Definition("Tree"), Definition("Rock"), Reference("Tree"),
                  Reference("tree"), Reference("Tree"), Reference("Tree")});
  }
};

TEST_F(DeleteCommand, YesToBothRemovesTheDefinitionAndItsReferences) {
  const auto path = TreeFile();
  Open1(path);
  Select(ids::kList1, 1);
  ui.AnswerYes();
  ui.AnswerYes();
  Press(ids::kDelete1);
  EXPECT_EQ(Messages(), (Names{"Delete symbol \"Tree\" (Used 3 times)?",
                               "Delete all references to this symbol?",
                               "3 references to symbol \"Tree\" removed."}));
  EXPECT_EQ(Lines(ids::kList1), (Names{"Bush", "Rock"}));
  EXPECT_EQ(Selection(ids::kList1), 1);  // the next symbol moved into the place
  Press(ids::kOpenClose1);
  EXPECT_EQ(ReadFileBytes(path),
            Drawing({Definition("Bush"), Definition("Rock"), Reference("tree")}));
}

TEST_F(DeleteCommand, NoToReferencesKeepsThem) {
  const auto path = TreeFile();
  Open1(path);
  Select(ids::kList1, 1);
  ui.AnswerYes();
  ui.AnswerNo();
  Press(ids::kDelete1);
  EXPECT_EQ(Messages().size(), 2U);
  EXPECT_TRUE(dialog.Pane1().drawing.IsModified());
  Press(ids::kOpenClose1);
  EXPECT_EQ(ReadFileBytes(path),
            Drawing({Definition("Bush"), Definition("Rock"), Reference("Tree"), Reference("tree"),
                     Reference("Tree"), Reference("Tree")}));
}

TEST_F(DeleteCommand, NoToTheFirstQuestionChangesNothing) {
  Open1(TreeFile());
  Select(ids::kList1, 1);
  ui.AnswerNo();
  Press(ids::kDelete1);
  EXPECT_EQ(Lines(ids::kList1), (Names{"Bush", "Tree", "Rock"}));
  EXPECT_FALSE(dialog.Pane1().drawing.IsModified());
}

TEST_F(DeleteCommand, UnreferencedSymbolStillAsksAndFindsNoReferences) {
  Open1(TreeFile());
  Select(ids::kList1, 2);
  ui.AnswerYes();
  ui.AnswerYes();
  Press(ids::kDelete1);
  EXPECT_EQ(Messages().back(), "No references found");
  EXPECT_EQ(Selection(ids::kList1), -1);  // the last line went
}

// --- X Unused

using XUnusedCommand = AppTest;

TEST_F(XUnusedCommand, AsksNamingTheFileAndReportsTheCount) {
  const auto path =
      WriteDrawing("a.pvx", {Definition("u1"), Definition("u2"), Definition("u3"),
                             Definition("Tree"), Definition("u4"), Reference("Tree")});
  Open1(path);
  Select(ids::kList1, 3);
  ui.AnswerYes();
  Press(ids::kXUnused1);
  EXPECT_EQ(Messages(),
            (Names{"Delete all unused symbols in \"" + path + "\"?", "4 symbols deleted"}));
  EXPECT_EQ(Lines(ids::kList1), (Names{"Tree"}));
  EXPECT_EQ(Selection(ids::kList1), -1);  // the list got shorter than the kept index
  EXPECT_TRUE(dialog.Pane1().drawing.IsModified());
}

TEST_F(XUnusedCommand, NothingUnusedReportsZeroAndLeavesTheFileUnmarked) {
  Open1(WriteDrawing("a.pvx", {Definition("Tree"), Reference("Tree")}));
  ui.AnswerYes();
  Press(ids::kXUnused1);
  EXPECT_EQ(Messages().back(), "0 symbols deleted");
  EXPECT_FALSE(dialog.Pane1().drawing.IsModified());
}

TEST_F(XUnusedCommand, NoChangesNothing) {
  Open1(WriteDrawing("a.pvx", {Definition("Tree")}));
  ui.AnswerNo();
  Press(ids::kXUnused1);
  EXPECT_EQ(Lines(ids::kList1), (Names{"Tree"}));
  EXPECT_EQ(Messages().size(), 1U);
}

}  // namespace
}  // namespace runebin::testing
