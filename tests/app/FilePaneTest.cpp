#include <sys/stat.h>

#include "tests/app/AppTest.h"

namespace runebin::testing {
namespace {

using FilePane = AppTest;

// Definitions after other records: a save regroups them, so the bytes tell whether a file was
// written.
std::vector<Bytes> InterleavedRecords() {
  return {Reference("Tree"), Definition("Tree"), TypeZero(3), Definition("Bush")};
}

void MakeReadOnlyOnDisk(const std::string& path) {
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
}

TEST_F(FilePane, OpenShowsThePathTheSymbolsAndTheFileCommands) {
  const auto path = WriteDrawing("a.pvx", {Definition("Tree"), Definition("Bush")});
  Open1(path);
  ASSERT_EQ(ui.fileDialogs.size(), 1U);
  EXPECT_EQ(ui.fileDialogs[0].title, "Open Korvel File 1");
  EXPECT_EQ(ui.fileDialogs[0].filter,
            "Korvel Files (*.pvx)|*.pvx|Korvel Symbol Catalogs (*.pvs)|*.pvs|Korvel Templates "
            "(*.pvt)|*.pvt|All Files (*.*)|*.*||");
  EXPECT_EQ(ui.fileDialogs[0].defaultExtension, ".pvx");
  EXPECT_EQ(Text(ids::kCaption1), path);
  EXPECT_EQ(Text(ids::kOpenClose1), "Close");
  EXPECT_EQ(dialog.Pane1().path, path);
  EXPECT_EQ(Lines(ids::kList1), (Names{"Tree", "Bush"}));
  EXPECT_EQ(Selection(ids::kList1), -1);
  for (const int id : {ids::kSort1, ids::kXUnused1, ids::kImport1}) {
    EXPECT_TRUE(Enabled(id)) << id;
  }
  for (const int id : {ids::kUp1, ids::kDn1, ids::kDelete1, ids::kRename1, ids::kCopy}) {
    EXPECT_FALSE(Enabled(id)) << id;
  }
  EXPECT_TRUE(Messages().empty());
}

TEST_F(FilePane, ReadOnlyMarkerFollowsEachPanesOwnCheckBox) {
  const auto first = WriteDrawing("a.pvx", {});
  const auto second = WriteDrawing("b.pvx", {});
  Open1(first);
  Open2(second, true);
  EXPECT_EQ(Text(ids::kCaption1), first);
  EXPECT_EQ(Text(ids::kCaption2), second + " [ro]");
  Press(ids::kOpenClose1);
  Press(ids::kOpenClose2);
  Open1(first, true);
  Open2(second);
  EXPECT_EQ(Text(ids::kCaption1), first + " [ro]");
  EXPECT_EQ(Text(ids::kCaption2), second);
  EXPECT_EQ(ui.fileDialogs.back().title, "Open Korvel File 2");
}

TEST_F(FilePane, CloseEmptiesThePaneAndTurnsItsCommandsOff) {
  Open1(WriteDrawing("a.pvx", {Definition("Tree")}));
  Select(ids::kList1, 0);
  Press(ids::kOpenClose1);
  EXPECT_EQ(Text(ids::kCaption1), "File 1");
  EXPECT_EQ(Text(ids::kOpenClose1), "Open...");
  EXPECT_EQ(dialog.Pane1().path, "");
  EXPECT_FALSE(dialog.Pane1().drawing.IsLoaded());
  EXPECT_TRUE(Lines(ids::kList1).empty());
  EXPECT_EQ(Selection(ids::kList1), -1);
  for (const int id : {ids::kUp1, ids::kDn1, ids::kDelete1, ids::kRename1, ids::kSort1,
                       ids::kXUnused1, ids::kImport1, ids::kCopy}) {
    EXPECT_FALSE(Enabled(id)) << id;
  }
  EXPECT_EQ(Text(ids::kDetails), "");
  EXPECT_EQ(ui.fileDialogs.size(), 1U);  // closing shows no file dialog
}

TEST_F(FilePane, CancellingTheFileDialogChangesNothing) {
  ui.CancelFileDialog();
  Press(ids::kOpenClose1);
  EXPECT_EQ(Text(ids::kCaption1), "File 1");
  EXPECT_EQ(Text(ids::kOpenClose1), "Open...");
  EXPECT_FALSE(Enabled(ids::kSort1));
  EXPECT_TRUE(Messages().empty());
}

TEST_F(FilePane, EveryLoadFailureHasItsMessageAndLeavesThePaneEmpty) {
  const auto missing = dir.Path("missing.pvx");
  const auto notDrawing = dir.Write("text.pvx", Bytes(200, 'x'));
  const auto version5 = dir.Write("v5.pvx", Header('5'));
  const auto compressed = dir.Write("packed.pvx", Header('6', 1));
  for (const auto& path : {missing, notDrawing, version5, compressed}) {
    Open1(path);
    EXPECT_EQ(Text(ids::kCaption1), "File 1");
    EXPECT_EQ(Text(ids::kOpenClose1), "Open...");
    EXPECT_FALSE(Enabled(ids::kSort1));
  }
  const Names expected = {
      "Error Opening file \"" + missing + "\"",
      "\"" + notDrawing + "\" does not appear to be a Korvel file",
      "\"" + version5 + "\" is not a version 6 Korvel file",
      "\"" + compressed +
          "\" is a compressed Korvel file,\n"
          "which can't be processed by this program.\n"
          "\n"
          "You can save the file as an uncompressed file by:\n"
          "   loading it into Korvel,\n"
          "   selecting Tools>>Options to bring up the Options dialog,\n"
          "   clicking the PVX,PVT,PVS button to bring up the Korvel PVX Drawing Options dialog,\n"
          "   deselecting the File compression checkbox,\n"
          "   clicking OK to dismiss the Korvel PVX Drawing Options dialog,\n"
          "   clicking OK to dismiss the Options dialog, and\n"
          "   saving the file. It will be uncompressed."};
  EXPECT_EQ(Messages(), expected);
  for (const auto& message : ui.messages) {
    EXPECT_EQ(message.kind, MessageKind::Ok);
  }
}

TEST_F(FilePane, SameFileCheckComparesThePathsExactly) {
  const auto path = WriteDrawing("a.pvx", {Definition("Tree")});
  const auto otherCase = WriteDrawing("A.pvx", {Definition("Oak")});
  Open1(path);
  Open2(path);
  EXPECT_EQ(Messages(), (Names{"Can't open the same file twice"}));
  EXPECT_FALSE(dialog.Pane2().drawing.IsLoaded());
  EXPECT_EQ(Text(ids::kCaption2), "File 2");
  Open2(otherCase);  // a path that differs in letter case is another path
  EXPECT_EQ(Lines(ids::kList2), (Names{"Oak"}));
  Press(ids::kOpenClose2);
  Press(ids::kOpenClose1);
  Open2(path);  // a closed file opens in the other pane at once
  Press(ids::kOpenClose2);
  Open1(path, true);
  Open2(path);  // and a file open read-only in one pane opens in the other
  EXPECT_EQ(Lines(ids::kList2), (Names{"Tree"}));
  EXPECT_EQ(Messages().size(), 1U);
}

TEST_F(FilePane, UnchangedFilesAreNotWrittenChangedOnesAre) {
  const auto unchanged = WriteDrawing("a.pvx", InterleavedRecords());
  const auto changed = WriteDrawing("b.pvx", InterleavedRecords());
  Open1(unchanged);
  Open2(changed);
  Select(ids::kList2, 1);
  Press(ids::kUp2);
  Press(ids::kOpenClose1);
  Press(ids::kOpenClose2);
  EXPECT_EQ(ReadFileBytes(unchanged), Drawing(InterleavedRecords()));
  EXPECT_EQ(ReadFileBytes(changed),
            Drawing({TypeZero(3), Definition("Bush"), Definition("Tree"), Reference("Tree")}));
  EXPECT_TRUE(Messages().empty());
}

TEST_F(FilePane, ReadOnlyPanesAreNeverWritten) {
  const auto path = WriteDrawing("a.pvx", InterleavedRecords());
  Open1(path, true);
  Press(ids::kSort1);
  EXPECT_TRUE(dialog.Pane1().drawing.IsModified());  // the change is made in memory
  Press(ids::kOpenClose1);
  EXPECT_EQ(ReadFileBytes(path), Drawing(InterleavedRecords()));
  EXPECT_TRUE(Messages().empty());
}

TEST_F(FilePane, FailedWriteIsReportedAndTheChangesAreDropped) {
  const auto path = WriteDrawing("a.pvx", InterleavedRecords());
  Open1(path);
  Press(ids::kSort1);
  MakeReadOnlyOnDisk(path);
  Press(ids::kOpenClose1);
  EXPECT_EQ(Messages(), (Names{"Can't write to file \"" + path + "\"."}));
  EXPECT_FALSE(dialog.Pane1().drawing.IsLoaded());
  EXPECT_EQ(ReadFileBytes(path), Drawing(InterleavedRecords()));
}

TEST_F(FilePane, DoneWritesFile1ThenFile2AndEnds) {
  const auto first = WriteDrawing("a.pvx", InterleavedRecords());
  const auto second = WriteDrawing("b.pvx", InterleavedRecords());
  Open1(first);
  Open2(second);
  Press(ids::kSort1);
  Press(ids::kSort2);
  MakeReadOnlyOnDisk(first);
  MakeReadOnlyOnDisk(second);
  Press(ids::kDone);
  // Both fail here, which shows the order in which they were written.
  EXPECT_EQ(Messages(), (Names{"Can't write to file \"" + first + "\".",
                               "Can't write to file \"" + second + "\"."}));
  EXPECT_TRUE(ui.mainWindowEnded);
}

TEST_F(FilePane, DoneGoesOnAfterAFailedWrite) {
  const auto first = WriteDrawing("a.pvx", InterleavedRecords());
  const auto second = WriteDrawing("b.pvx", InterleavedRecords());
  Open1(first);
  Open2(second);
  Press(ids::kSort1);
  Press(ids::kSort2);
  MakeReadOnlyOnDisk(first);
  Press(ids::kDone);
  EXPECT_EQ(Messages(), (Names{"Can't write to file \"" + first + "\"."}));
  EXPECT_EQ(ReadFileBytes(second),
            Drawing({TypeZero(3), Definition("Bush"), Definition("Tree"), Reference("Tree")}));
  EXPECT_FALSE(dialog.Pane1().drawing.IsLoaded());
  EXPECT_FALSE(dialog.Pane2().drawing.IsLoaded());
  EXPECT_TRUE(ui.mainWindowEnded);
}

TEST_F(FilePane, DoneWithoutFilesEndsSilently) {
  Press(ids::kDone);
  EXPECT_TRUE(Messages().empty());
  EXPECT_TRUE(ui.mainWindowEnded);
  EXPECT_TRUE(ui.fileDialogs.empty());
}

}  // namespace
}  // namespace runebin::testing
