// Start-up, the main window's panes, enabling and details, through the in-memory toolkit.
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <functional>

#include "tests/app/AppTest.h"
#include "tests/support/MetafileBuilder.h"

namespace runebin::testing {
namespace {

namespace fs = std::filesystem;

TEST(Startup, ShowsTheAboutBoxFirstThenTheMainWindowUntilDone) {
  FakeToolkit ui;
  ui.session = [&](WindowEvents& window) { ui.Press(window, ids::kDone); };
  EXPECT_EQ(RunApplication(ui), 0);
  EXPECT_EQ(ui.journal, (Names{"about box", "main window", "main window ended"}));
  EXPECT_TRUE(ui.messages.empty());
}

using MainWindow = AppTest;

TEST_F(MainWindow, CommandsThatOnlyExplainOrShowTheAboutBox) {
  for (const int id : {ids::kImport2, ids::kRefPage1, ids::kScaleAll1, ids::kAboutCommand}) {
    dialog.OnCommand(id);
  }
  EXPECT_EQ(Messages(),
            (Names{"Import only allowed on File 1", "Reference page printing not implemented"}));
  EXPECT_EQ(ui.journal, (Names{"about box"}));
}

TEST_F(MainWindow, IndexOutOfStepIsReportedBeforeAnythingChanges) {
  Open1(WriteDrawing("a.pvx", {Definition("a"), Definition("b"), Reference("b")}));
  Open2(WriteDrawing("b.pvx", {}));
  Select(ids::kList1, 1);
  // Something put the list box out of step with the file: line 3 has no symbol.
  ui.ListSetLines(ids::kList1, {"a", "b", "c", "d"});
  ui.ListSetSelection(ids::kList1, 3);
  for (const int command : {ids::kUp1, ids::kRename1, ids::kDelete1, ids::kCopy}) {
    dialog.OnCommand(command);
  }
  dialog.OnSelectionChange(ids::kList1);
  EXPECT_EQ(Messages(), Names(5, "An invalid argument was encountered."));
  EXPECT_FALSE(File1().IsModified());
  EXPECT_FALSE(File2().IsModified());
}

// Up and Dn by the selection's place, Delete and Rename with a selection, Sort, X Unused and
// Import with an open file (even one without symbols), Copy only toward a writable other pane.
TEST_F(MainWindow, EnablingFollowsTheSelectionAndThePanes) {
  const auto three = WriteDrawing("three.pvx", {Definition("a"), Definition("b"), Definition("c")});
  const auto other = WriteDrawing("other.pvx", {Definition("x")});
  const int checked[] = {ids::kUp1,      ids::kDn1,     ids::kDelete1, ids::kRename1, ids::kSort1,
                         ids::kXUnused1, ids::kImport1, ids::kImport2, ids::kCopy};
  const std::string letters = "UDXRSPIJC";  // P: X Unused1, J: Import2
  const std::tuple<std::function<void()>, std::string, std::string> steps[] = {
      {[] {}, "J", "Copy"},  // as the layout starts
      {[&] { Open1(three); }, "SPIJ", "Copy"},
      {[&] { Select(ids::kList1, 0); }, "DXRSPIJ", "Copy"},  // File 2 has no file
      {[&] { Select(ids::kList1, 1); }, "UDXRSPIJ", "Copy"},
      {[&] { Select(ids::kList1, 2); }, "UXRSPIJ", "Copy"},
      {[&] { Open2(other, true); }, "UXRSPIJ", "Copy"},       // the old selection stays
      {[&] { Select(ids::kList1, 1); }, "UDXRSPIJ", "Copy"},  // File 2 read-only
      {[&] { Select(ids::kList2, 0); }, "UDXRSPIJC", "<<< Copy <<<"},
      {[&] { Press(ids::kOpenClose2); }, "UDXRSPI", "Copy"},
      {[&] { Open2(other); }, "UDXRSPIJ", "Copy"},
      {[&] { Select(ids::kList1, 1); }, "UDXRSPIJC", ">>> Copy >>>"},
      {[&] { Select(ids::kList1, -1); }, "SPIJ", "Copy"},
      {[&] { Press(ids::kOpenClose1); }, "J", "Copy"},
      {[&] { Open1(WriteDrawing("one.pvx", {Definition("a")})); }, "SPIJ", "Copy"},
      {[&] { Select(ids::kList1, 0); }, "XRSPIJC", ">>> Copy >>>"},
      {[&] { Press(ids::kOpenClose1); }, "J", "Copy"},
      {[&] { Open1(WriteDrawing("none.pvx", {Reference("a")})); }, "SPIJ", "Copy"},
  };
  for (std::size_t step = 0; step < std::size(steps); ++step) {
    std::get<0>(steps[step])();
    std::string enabled;
    for (std::size_t i = 0; i < letters.size(); ++i) {
      enabled += Enabled(checked[i]) ? letters.substr(i, 1) : "";
    }
    EXPECT_EQ(enabled, std::get<1>(steps[step])) << "step " << step;
    EXPECT_EQ(Text(ids::kCopy), std::get<2>(steps[step])) << "step " << step;
  }
}

// The size is the core's to measure (tested with it); the window shows it with the use count.
TEST_F(MainWindow, DetailsDescribeTheSelectedSymbol) {
  Open1(WriteDrawing("a.pvx", {Definition("Tree", {}, {1, 2, 13.5F, 5}), Reference("Tree")}));
  Select(ids::kList1, 0);
  EXPECT_EQ(Text(ids::kDetails), "Used 1 times\nWidth: 12.50\nHeight: 3.00\n");
  Select(ids::kList1, -1);
  EXPECT_EQ(Text(ids::kDetails), "");
}

// Captions show the path and each pane's own read-only marker. A file open writable in the other
// pane is refused by any name (a link, or another letter case on a system that ignores case - a
// hard link stands in for that here); a file open read-only there by its identical path only.
TEST_F(MainWindow, OpenCloseAndTheSameFileCheck) {
  const auto first = WriteDrawing("a.pvx", {Definition("Tree"), Definition("Bush")});
  const auto second = WriteDrawing("b.pvx", {});
  const auto secondInCapitals = WriteDrawing("B.pvx", {Definition("Oak")});
  ui.CancelFileDialog();
  Press(ids::kOpenClose1);
  Open1(first);
  Open2(second, true);
  ASSERT_EQ(ui.fileDialogs.size(), 3U);
  EXPECT_EQ(ui.fileDialogs[0].title, "Open Korvel File 1");
  EXPECT_EQ(ui.fileDialogs[2].title, "Open Korvel File 2");
  EXPECT_EQ(Text(ids::kCaption1), first);
  EXPECT_EQ(Text(ids::kOpenClose1), "Close");
  EXPECT_EQ(Text(ids::kCaption2), second + " [ro]");
  EXPECT_EQ(Lines(ids::kList1), (Names{"Tree", "Bush"}));
  Press(ids::kOpenClose1);
  EXPECT_EQ(Text(ids::kCaption1), "File 1");
  EXPECT_EQ(Text(ids::kOpenClose1), "Open...");
  EXPECT_TRUE(Lines(ids::kList1).empty());
  Open1(second);
  EXPECT_EQ(Text(ids::kCaption1), second);
  Press(ids::kOpenClose2);
  Open2(second);
  EXPECT_FALSE(File2().IsLoaded());
  Open2(secondInCapitals);
  EXPECT_EQ(Lines(ids::kList2), (Names{"Oak"}));
  Press(ids::kOpenClose2);
  const std::string alias = dir.Path("B.PVX");
  fs::create_hard_link(second, alias);
  Open2(alias);
  EXPECT_FALSE(File2().IsLoaded());
  Open2(alias, true);
  EXPECT_TRUE(File2().IsLoaded());
  EXPECT_EQ(Messages(), Names(2, "Can't open the same file twice"));
}

TEST_F(MainWindow, EveryLoadFailureHasItsMessageAndLeavesThePaneEmpty) {
  const auto missing = dir.Path("missing.pvx");
  const auto notDrawing = dir.Write("text.pvx", Bytes(200, 'x'));
  const auto version5 = dir.Write("v5.pvx", Header('5'));
  const auto compressed = dir.Write("packed.pvx", Header('6', 1));
  for (const auto& path : {missing, notDrawing, version5, compressed}) {
    Open1(path);
  }
  // The compressed file's message goes on to say how to save the file uncompressed.
  const Names shown = Messages();
  ASSERT_EQ(shown.size(), 4U);
  EXPECT_EQ(Names(shown.begin(), shown.end() - 1),
            (Names{"Error Opening file \"" + missing + "\"",
                   "\"" + notDrawing + "\" does not appear to be a Korvel file",
                   "\"" + version5 + "\" is not a version 6 Korvel file"}));
  EXPECT_TRUE(shown[3].starts_with("\"" + compressed +
                                   "\" is a compressed Korvel file,\nwhich can't be processed"));
  EXPECT_FALSE(File1().IsLoaded());
}

// Definitions after other records, out of order: a save regroups them, so the bytes tell whether
// a file was written, and Sort changes it.
const std::vector<Bytes> kInterleaved = {Reference("Tree"), Definition("Tree"), TypeZero(3),
                                         Definition("Bush")};
const Bytes kSorted =
    Drawing({TypeZero(3), Definition("Bush"), Definition("Tree"), Reference("Tree")});

// An unchanged pane is never written. Done writes File 1 then File 2; after a failed write kept
// open (No) the window stays, and File 2 is not written until the next Done.
TEST_F(MainWindow, WriteBackOnCloseAndDone) {
  const auto unchanged = WriteDrawing("unchanged.pvx", kInterleaved);
  const auto fails = WriteDrawing("fails.pvx", kInterleaved);
  const auto second = WriteDrawing("second.pvx", kInterleaved);
  Open1(unchanged);
  Press(ids::kOpenClose1);
  Open1(fails);
  Open2(second);
  Press(ids::kSort1);
  Press(ids::kSort2);
  ASSERT_EQ(::chmod(fails.c_str(), 0444), 0);
  ui.AnswerNo();
  Press(ids::kDone);
  EXPECT_EQ(Messages(), (Names{"Can't write to file \"" + fails +
                               "\".\nPermission denied\nClose it anyway and lose the changes?"}));
  EXPECT_TRUE(File1().IsModified() && File2().IsModified());
  EXPECT_FALSE(ui.mainWindowEnded);
  EXPECT_EQ(ReadFileBytes(second), Drawing(kInterleaved));
  ASSERT_EQ(::chmod(fails.c_str(), 0644), 0);
  Press(ids::kDone);
  EXPECT_FALSE(File1().IsLoaded() || File2().IsLoaded());
  EXPECT_TRUE(ui.mainWindowEnded);
  EXPECT_EQ(ReadFileBytes(unchanged), Drawing(kInterleaved));
  EXPECT_EQ(ReadFileBytes(fails), kSorted);
  EXPECT_EQ(ReadFileBytes(second), kSorted);
}

// A file another program replaced after it was opened is written over only when the user says
// Yes; No leaves it and closes the pane all the same. A damaged file opens with a notice.
TEST_F(MainWindow, AsksBeforeWritingOverAFileChangedByAnotherProgram) {
  const auto kept = WriteDrawing("kept.pvx", kInterleaved);
  const auto replaced = WriteDrawing("replaced.pvx", kInterleaved);
  const Bytes theirs = Drawing({Definition("Theirs")});
  for (const auto& path : {kept, replaced}) {
    Open1(path);
    Press(ids::kSort1);
    ASSERT_EQ(std::rename(dir.Write("theirs.pvx", theirs).c_str(), path.c_str()), 0);
    path == kept ? ui.AnswerNo() : ui.AnswerYes();
    Press(ids::kOpenClose1);
    EXPECT_FALSE(File1().IsLoaded());
  }
  Bytes cut = Drawing({Definition("A"), Definition("B")});
  cut.resize(cut.size() - 3);
  const auto damaged = dir.Write("cut.pvx", cut);
  Open2(damaged);
  const std::string changed =
      "\" was changed by another program after it was opened.\n"
      "Replace it with the version shown here?";
  EXPECT_EQ(Messages(), (Names{"\"" + kept + changed, "\"" + replaced + changed,
                               damaged + ": damaged at byte 226; the last 95 bytes are kept as "
                                         "they are, and symbols in them are not shown"}));
  EXPECT_EQ(ReadFileBytes(kept), theirs);
  EXPECT_EQ(ReadFileBytes(replaced), kSorted);
  EXPECT_EQ(Lines(ids::kList2), (Names{"A"}));
}

// Every command works on a read-only pane in memory; its questions name the file with its
// marker, and closing it writes nothing.
TEST_F(MainWindow, AReadOnlyPaneIsChangedInMemoryOnly) {
  const auto path = WriteDrawing("ro.pvx", kInterleaved);
  Open1(path, true);
  Select(ids::kList1, 0);
  ui.EnterRename("Oak");
  Press(ids::kRename1);
  Select(ids::kList1, 1);
  ui.AnswerYes();
  ui.AnswerNo();
  Press(ids::kDelete1);
  ui.ChooseFile(dir.Write("a.wmf", Wmf().Polygon({{1, 1}}).End().Data()));
  ui.EnterWmfImport("Box", std::nullopt);
  Press(ids::kImport1);
  ui.AnswerYes();
  Press(ids::kXUnused1);
  EXPECT_EQ(Messages()[3], "Delete all unused symbols in \"" + path + " [ro]\"?");
  EXPECT_EQ(Lines(ids::kList1), (Names{"Oak"}));
  Press(ids::kOpenClose1);
  EXPECT_EQ(ReadFileBytes(path), Drawing(kInterleaved));
}

}  // namespace
}  // namespace runebin::testing
