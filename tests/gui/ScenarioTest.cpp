// Whole runs of the window program through the real Qt window: open two files with the file
// dialog, run a command with mouse clicks, answer its boxes, press Done, and compare the files
// on disk with the bytes expected.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <functional>

#include "app/MainDialog.h"
#include "gui/LayoutDialog.h"
#include "gui/MainWindow.h"
#include "gui/QtToolkit.h"
#include "metafile/ImportMetafile.h"
#include "resources/ControlIds.h"
#include "tests/gui/ModalAnswerer.h"
#include "tests/support/DrawingBuilder.h"
#include "tests/support/TempDir.h"

namespace runebin {
namespace {

using namespace runebin::testing;

// File 1: Tree (used twice), Oak (used once) and Ash (unused); File 2: Rose and a Tree of its own.
Bytes TreeNamed(const std::string& name) {
  return Definition(name, {Record(2, Bytes(12, 1))}, {1.0F, 2.0F, 13.5F, 10.0F});
}
const Bytes kTree = TreeNamed("Tree"), kOak = Definition("Oak", {Record(3, Bytes(8, 2))}),
            kAsh = Definition("Ash"), kRose = Definition("Rose", {Record(4, Bytes(4, 3))}),
            kTree2 = Definition("Tree", {Record(5, Bytes(6, 4))}, {0, 0, 1, 1});
Bytes File1(const std::vector<Bytes>& definitions, const std::string& tree = "Tree") {
  return Drawing(
      {TypeZero(1), Join(definitions), Reference(tree), Reference("Oak"), Reference(tree)});
}
Bytes File2(const std::vector<Bytes>& definitions, bool treeUsed = true) {
  return Drawing(
      {TypeZero(2), Join(definitions), Reference("Rose"), treeUsed ? Reference("Tree") : Bytes{}});
}

// The window program over fresh copies of the two files.
struct Program {
  void Click(int id) { QTest::mouseClick(toolkit.Window().Control(id), Qt::LeftButton); }

  TempDir folder;
  std::string file1 = folder.Write("one.pvx", File1({kTree, kOak, kAsh}));
  std::string file2 = folder.Write("two.pvs", File2({kRose, kTree2}));
  gui::QtToolkit toolkit;
  ModalAnswerer answerer{&toolkit.Window()};
  MainDialog dialog{toolkit, folder.Path("entities.txt")};
  QStringList messages;
};

// What the user does, in order; a box is expected before the click that brings it up.
using Step = std::function<void(Program&)>;
Step Click(int id) {
  return [id](Program& p) { p.Click(id); };
}
Step Select(int listId, int row) {
  return [=](Program& p) {
    QListWidget* list = p.toolkit.Window().List(listId);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
  };
}
Step Answer(const char* button) {
  return [=](Program& p) { p.answerer.Expect(Press(button, &p.messages)); };
}
Step Choose(const std::string& path, bool readOnly = false) {
  return [=](Program& p) { p.answerer.Expect(ChooseFile(QString::fromStdString(path), readOnly)); };
}
// Fills in edit boxes of the next dialog and presses OK.
Step Fill(const std::vector<std::pair<int, QString>>& fields) {
  return [=](Program& p) {
    p.answerer.Expect([=](QWidget* dialog) {
      for (const auto& [id, text] : fields) {
        qobject_cast<gui::LayoutDialog*>(dialog)->Edit(id)->setText(text);
      }
      ClickLater(FindButton(dialog, QStringLiteral("OK")));
    });
  };
}

TEST(Scenario, EachCommandThroughTheWindowWritesTheExpectedFiles) {
  const std::string metafile = RUNEBIN_WMF_CORPUS "/pillow-drawing.wmf";
  std::unique_ptr<SymbolDef> leaf;
  ASSERT_EQ(ImportMetafile(metafile, "leaf", 50.0F, leaf), 0);
  const Bytes leafBytes(leaf->Bytes().begin(), leaf->Bytes().end());
  const Bytes file1 = File1({kTree, kOak, kAsh}), file2 = File2({kRose, kTree2});
  struct Case {
    std::vector<Step> steps;
    Bytes file1, file2;
    QStringList messages = {};
    bool file2ReadOnly = false;
  };
  const Case cases[] = {
      {{Select(ids::kList1, 1), Click(ids::kUp1), Select(ids::kList2, 0), Click(ids::kDn2)},
       File1({kOak, kTree, kAsh}),
       File2({kTree2, kRose})},
      // A read-only File 2 is sorted in memory, never written.
      {{Click(ids::kSort1), Click(ids::kSort2)}, File1({kAsh, kOak, kTree}), file2, {}, true},
      // Closing writes back at once, and Done has nothing left to write.
      {{Click(ids::kSort1), Click(ids::kOpenClose1)}, File1({kAsh, kOak, kTree}), file2},
      {{Select(ids::kList1, 0), Fill({{ids::kRenameNewName, "Maple"}}), Answer("OK"),
        Click(ids::kRename1)},
       File1({TreeNamed("Maple"), kOak, kAsh}, "Maple"),
       file2,
       {"2 references renamed from\n\"Tree\" to\n\"Maple\"."}},
      {{Select(ids::kList1, 1), Click(ids::kCopy), Select(ids::kList1, 0), Answer("Yes"),
        Click(ids::kCopy)},
       file1,
       File2({kRose, kTree, kOak}),
       {"There is already a symbol named\n\"Tree\"\nin file\n\"DIR/two.pvs\".\nReplace it?"}},
      {{Select(ids::kList2, 1), Answer("Yes"), Answer("Yes"), Answer("OK"), Click(ids::kDelete2)},
       file1,
       File2({kRose}, false),
       {"Delete symbol \"Tree\" (Used 1 times)?", "Delete all references to this symbol?",
        "1 references to symbol \"Tree\" removed."}},
      {{Answer("Yes"), Answer("OK"), Click(ids::kXUnused1)},
       File1({kTree, kOak}),
       file2,
       {"Delete all unused symbols in \"DIR/one.pvx\"?", "1 symbols deleted"}},
      {{Choose(metafile), Fill({{ids::kImportName, "leaf"}, {ids::kImportMaxSize, "50"}}),
        Click(ids::kImport1)},
       File1({kTree, kOak, kAsh, leafBytes}),
       file2},
      {{Answer("OK"), Click(ids::kImport2)}, file1, file2, {"Import only allowed on File 1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("case " + std::to_string(&c - cases));
    Program program;
    RunScripted(
        [&] {
          std::vector<Step> steps = {Choose(program.file1), Click(ids::kOpenClose1),
                                     Choose(program.file2, c.file2ReadOnly),
                                     Click(ids::kOpenClose2)};
          steps.insert(steps.end(), c.steps.begin(), c.steps.end());
          steps.push_back(Click(ids::kDone));
          for (const Step& step : steps) {
            step(program);
          }
          if (program.toolkit.Window().isVisible()) {
            ADD_FAILURE() << "Done did not end the window";
            program.toolkit.EndMainWindow();
          }
        },
        [&] { program.dialog.Run(); });
    EXPECT_EQ(program.answerer.Pending(), 0) << "boxes expected but never shown";
    EXPECT_EQ(program.answerer.Unexpected(), QStringList{});
    EXPECT_EQ(ReadFileBytes(program.file1), c.file1);
    EXPECT_EQ(ReadFileBytes(program.file2), c.file2);
    EXPECT_EQ(program.messages.replaceInStrings(QString::fromStdString(program.folder.Path()),
                                                QStringLiteral("DIR")),
              c.messages);
  }
}

}  // namespace
}  // namespace runebin
