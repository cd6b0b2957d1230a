// The symbol commands and the import: what they ask, report and show (the drawing is the core's).

#include "tests/app/AppTest.h"
#include "tests/support/MetafileBuilder.h"

namespace runebin::testing {
namespace {

using Commands = AppTest;

// Up and Dn keep the moved symbol selected and described; Sort keeps the selected line, not the
// symbol. Every refresh keeps each list's selection by index.
TEST_F(Commands, MovesAndSortKeepTheSelectionByIndex) {
  Open1(
      WriteDrawing("a.pvx", {Definition("c"), Definition("b"), Definition("a", {}, {0, 0, 2, 2})}));
  Open2(WriteDrawing("b.pvx", {Definition("x"), Definition("y")}));
  Select(ids::kList2, 1);
  Select(ids::kList1, 2);
  const std::string details = Text(ids::kDetails);
  Press(ids::kUp1);
  EXPECT_EQ(Lines(ids::kList1), (Names{"c", "a", "b"}));
  EXPECT_EQ(Selection(ids::kList1), 1);
  EXPECT_EQ(Text(ids::kDetails), details);
  EXPECT_EQ(Selection(ids::kList2), 1);
  Select(ids::kList1, 1);
  Press(ids::kDn1);
  EXPECT_EQ(Lines(ids::kList1), (Names{"c", "b", "a"}));
  EXPECT_EQ(Selection(ids::kList1), 2);
  Press(ids::kSort1);
  EXPECT_EQ(Lines(ids::kList1), (Names{"a", "b", "c"}));
  EXPECT_EQ(Selection(ids::kList1), 2);  // the line, not the symbol
}

// Cancel changes nothing; the report has three lines; an unreferenced symbol is renamed without a
// report; no selection opens no dialog. (Which references a rename reaches is the core's.)
TEST_F(Commands, RenameReportsEveryRenamedReference) {
  Open1(WriteDrawing(
      "a.pvx", {Definition("Bush"), Definition("Tree"), Reference("Tree"), Reference("Tree")}));
  Select(ids::kList1, 1);
  ui.CancelRename();
  Press(ids::kRename1);
  EXPECT_FALSE(File1().IsModified());
  ui.EnterRename("Oak");
  Press(ids::kRename1);
  EXPECT_EQ(ui.renameDialogs[1].m_newName, "Tree");  // offered to edit
  EXPECT_EQ(Messages(), (Names{"2 references renamed from\n\"Tree\" to\n\"Oak\"."}));
  Select(ids::kList1, 0);
  ui.EnterRename("Shrub");
  Press(ids::kRename1);
  EXPECT_EQ(Lines(ids::kList1), (Names{"Shrub", "Oak"}));
  ui.ListSetSelection(ids::kList1, -1);
  dialog.OnCommand(ids::kRename1);  // a dialog would find nothing scripted
  EXPECT_EQ(Messages().size(), 1U);
}

// A name the target has: the question names the target file, No changes neither file, Yes
// replaces the definition in its place. A name it lacks is added
// at the end without a question; so does a copy from File 2 to File 1. A Copy label without a
// direction is an internal oddity.
TEST_F(Commands, CopyReplacesInPlaceAfterAYesOrAddsAtTheEnd) {
  Open1(WriteDrawing(
      "a.pvx", {Definition("Tree"), Definition("oak"), Reference("Tree"), Reference("Tree")}));
  const auto target = WriteDrawing("b.pvx", {Definition("Tree"), Definition("Oak")});
  Open2(target);
  Select(ids::kList1, 0);
  ui.AnswerNo();
  Press(ids::kCopy);
  EXPECT_FALSE(File1().IsModified() || File2().IsModified());
  ui.AnswerYes();
  Press(ids::kCopy);
  Select(ids::kList1, 1);
  Press(ids::kCopy);
  const std::string question =
      "There is already a symbol named\n\"Tree\"\nin file\n\"" + target + "\".\nReplace it?";
  EXPECT_EQ(Messages(), (Names{question, question}));
  EXPECT_EQ(Lines(ids::kList2), (Names{"Tree", "Oak", "oak"}));
  Select(ids::kList2, 1);
  ASSERT_EQ(Text(ids::kCopy), "<<< Copy <<<");
  Press(ids::kCopy);
  EXPECT_EQ(Lines(ids::kList1), (Names{"Tree", "oak", "Oak"}));
  EXPECT_TRUE(File1().IsModified());
  ui.SetControlText(ids::kCopy, "Copy");
  dialog.OnCommand(ids::kCopy);
  EXPECT_EQ(Messages().back(), "Something odd is happening internally");
}

// Names outside ASCII are the file's Windows-1252 bytes; the questions show them in UTF-8 like the
// file names beside them.
TEST_F(Commands, QuestionsShowNamesAsText) {
  const std::string cafe = "Caf\xE9", shown = "\"Caf\xC3\xA9\"";
  Open1(WriteDrawing("a.pvx", {Definition(cafe)}));
  const auto target = WriteDrawing("b.pvx", {Definition(cafe)});
  Open2(target);
  Select(ids::kList1, 0);
  ui.AnswerNo();
  Press(ids::kCopy);
  ui.AnswerNo();
  Press(ids::kDelete1);
  EXPECT_EQ(Messages(), (Names{"There is already a symbol named\n" + shown + "\nin file\n\"" +
                                   target + "\".\nReplace it?",
                               "Delete symbol " + shown + " (Used 0 times)?"}));
}

// Two questions; the references go only after the second Yes. The next symbol moves into the
// selected place; deleting the last line leaves none selected.
TEST_F(Commands, DeleteAsksTwice) {
  const std::string tree = "Delete symbol \"Tree\" (Used 2 times)?";
  const std::string rock = "Delete symbol \"Rock\" (Used 0 times)?";
  const std::string references = "Delete all references to this symbol?";
  const std::string removed = "2 references to symbol \"Tree\" removed.";
  const std::tuple<int, std::vector<bool>, Names, Names, int, int> rows[] = {
      // selected, answers, messages, lines left, selection, references left
      {1, {true, true}, {tree, references, removed}, {"Bush", "Rock"}, 1, 1},
      {1, {true, false}, {tree, references}, {"Bush", "Rock"}, 1, 3},
      {1, {false}, {tree}, {"Bush", "Tree", "Rock"}, 1, 3},
      {2, {true, true}, {rock, references, "No references found"}, {"Bush", "Tree"}, -1, 3},
  };
  for (const auto& [selected, answers, messages, lines, selection, referencesLeft] : rows) {
    SCOPED_TRACE(messages.back());
    ui.messages.clear();
    Open1(WriteDrawing("a.pvx", {Definition("Bush"), Definition("Tree"), Definition("Rock"),
                                 Reference("Tree"), Reference("tree"), Reference("Tree")}));
    Select(ids::kList1, selected);
    for (const bool yes : answers) {
      yes ? ui.AnswerYes() : ui.AnswerNo();
    }
    Press(ids::kDelete1);
    EXPECT_EQ(Messages(), messages);
    EXPECT_EQ(Lines(ids::kList1), lines);
    EXPECT_EQ(Selection(ids::kList1), selection);
    EXPECT_EQ(File1().OtherEntities().GetSize(), referencesLeft);
    EXPECT_EQ(File1().IsModified(), answers[0]);
    Press(ids::kOpenClose1);
  }
}

TEST_F(Commands, XUnusedAsksNamingTheFileAndAlwaysReportsTheCount) {
  const auto path = WriteDrawing("a.pvx", {Definition("u1"), Definition("u2"), Definition("Tree"),
                                           Definition("u3"), Reference("Tree")});
  Open1(path);
  Select(ids::kList1, 3);
  for (const bool yes : {false, true, true}) {
    yes ? ui.AnswerYes() : ui.AnswerNo();
    Press(ids::kXUnused1);
  }
  const std::string question = "Delete all unused symbols in \"" + path + "\"?";
  EXPECT_EQ(Messages(),
            (Names{question, question, "3 symbols deleted", question, "0 symbols deleted"}));
  EXPECT_EQ(Lines(ids::kList1), (Names{"Tree"}));
  EXPECT_EQ(Selection(ids::kList1), -1);  // the list got shorter than the kept index
}

class ImportCommand : public AppTest {
 protected:
  void SetUp() override { Open1(WriteDrawing("a.pvx", {Definition("Tree"), Reference("Tree")})); }
  // Presses File 1's Import, chooses `path`, then answers the WMF Import dialog as scripted.
  void Import(const std::string& path, const std::function<void()>& answerDialog) {
    ui.ChooseFile(path);
    answerDialog();
    Press(ids::kImport1);
  }
};

// A real metafile from tests/data/wmf; Max Size 0 is accepted.
TEST_F(ImportCommand, AppendsTheMetafileAsANewUnusedSymbol) {
  const std::string path = std::string(RUNEBIN_WMF_CORPUS) + "/wmfjs-rect.wmf";
  Import(path, [&] { ui.EnterWmfImport("Box", "0"); });
  EXPECT_EQ(ui.fileDialogs[1].title, "Import WMF File as Symbol");
  EXPECT_EQ(ui.importDialogs[0].name, "wmfjs-rect.wmf");  // the name without its folder
  EXPECT_EQ(ui.importDialogs[0].maxSizeText, "100");
  EXPECT_EQ(Lines(ids::kList1), (Names{"Tree", "Box"}));
  EXPECT_TRUE(File1().IsModified());
}

// Cancelling either dialog changes nothing, not even the Max Size; a confirmed Max Size is
// offered next time even when its import failed.
TEST_F(ImportCommand, CancelsAndFailuresLeaveFile1Alone) {
  const auto notMetafile = WriteDrawing("b.pvx", {Definition("x")});
  const auto empty = dir.Write("empty.wmf", {});
  const auto missing = dir.Path("missing.wmf");
  ui.CancelFileDialog();
  Press(ids::kImport1);
  Import(empty, [&] { ui.CancelWmfImport(); });
  Import(notMetafile, [&] { ui.EnterWmfImport(std::nullopt, "25"); });
  Import(empty, [&] { ui.EnterWmfImport(std::nullopt, std::nullopt); });
  Import(missing, [&] { ui.EnterWmfImport(std::nullopt, std::nullopt); });
  // A symbol past the largest an import makes: success without a symbol.
  Import(dir.Write("huge.wmf", EmptyPolygonSets(kOversizedSets)),
         [&] { ui.EnterWmfImport(std::nullopt, std::nullopt); });
  // The name offered keeps what a symbol name can hold: characters dropped, then cut to 31.
  Import(dir.Write("\u0447\u0451\u20AC" + std::string(40, 'x') + ".wmf", {}),
         [&] { ui.CancelWmfImport(); });
  EXPECT_EQ(ui.importDialogs.back().name, '\x80' + std::string(30, 'x'));
  EXPECT_EQ(Messages(), (Names{"Unknown file type for \"" + notMetafile + "\"",
                               "Error reading from file \"" + empty + "\"",
                               "Error opening file \"" + missing + "\"",
                               "Internal error - WMF returned was 0"}));
  EXPECT_EQ(ui.importDialogs[1].maxSizeText, "100");  // not changed by the cancel
  EXPECT_EQ(ui.importDialogs[2].maxSizeText, "25");
  EXPECT_EQ(Lines(ids::kList1), (Names{"Tree"}));
  EXPECT_FALSE(File1().IsModified());
}

}  // namespace
}  // namespace runebin::testing
