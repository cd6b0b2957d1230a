// Whole runs of the window program through the real Qt window: open two files with the file
// dialog, run one command with mouse clicks, answer its boxes, press Done, and compare what was
// written to disk with the bytes expected.

#include <gtest/gtest.h>

#include <QAction>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/MainDialog.h"
#include "gui/LayoutDialog.h"
#include "gui/MainWindow.h"
#include "gui/QtToolkit.h"
#include "metafile/ImportMetafile.h"
#include "model/NamedEntity.h"
#include "resources/ControlIds.h"
#include "tests/gui/ModalAnswerer.h"
#include "tests/support/DrawingBuilder.h"
#include "tests/support/TempDir.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace runebin {
namespace {

using namespace runebin::testing;

// File 1: Tree (used twice, 12.5 x 8), Oak (used once) and Ash (unused).
Bytes Tree1() {
  return Definition("Tree", {Record(2, Bytes(12, 1))}, {1.0F, 2.0F, 13.5F, 10.0F});
}
Bytes Oak() {
  return Definition("Oak", {Record(3, Bytes(8, 2))});
}
Bytes Ash() {
  return Definition("Ash");
}
Bytes File1(const std::vector<Bytes>& definitions, const std::string& treeName = "Tree") {
  std::vector<Bytes> records{TypeZero(1)};
  records.insert(records.end(), definitions.begin(), definitions.end());
  for (const Bytes& other : {Reference(treeName), Reference("Oak"), Reference(treeName)}) {
    records.push_back(other);
  }
  return Drawing(records);
}

// File 2: Rose (used once) and its own Tree (used once).
Bytes Rose() {
  return Definition("Rose", {Record(4, Bytes(4, 3))});
}
Bytes Tree2() {
  return Definition("Tree", {Record(5, Bytes(6, 4))}, {0, 0, 1, 1});
}
Bytes File2(const std::vector<Bytes>& definitions, const std::vector<Bytes>& references) {
  std::vector<Bytes> records{TypeZero(2)};
  records.insert(records.end(), definitions.begin(), definitions.end());
  records.insert(records.end(), references.begin(), references.end());
  return Drawing(records);
}

const Bytes kFile1 = File1({Tree1(), Oak(), Ash()});
const Bytes kFile2 = File2({Rose(), Tree2()}, {Reference("Rose"), Reference("Tree")});

class WindowScenario : public ::testing::Test {
 protected:
  // Opens File 1 (writable) and File 2 (read-only when asked) through the window, runs `steps`,
  // presses Done and checks that the window has ended with every box answered.
  void Run(const std::function<void()>& steps, bool file2ReadOnly = false) {
    RunScripted(
        [&] {
          Open(ids::kOpenClose1, file1, false);
          Open(ids::kOpenClose2, file2, file2ReadOnly);
          steps();
          Click(ids::kDone);
          if (toolkit.Window().isVisible()) {
            ADD_FAILURE() << "Done did not end the window";
            toolkit.EndMainWindow();
          }
        },
        [&] { dialog.Run(); });
    EXPECT_EQ(answerer.Pending(), 0) << "boxes expected but never shown";
    EXPECT_TRUE(answerer.Unexpected().isEmpty()) << answerer.Unexpected().join(u',').toStdString();
  }

  void Open(int button, const std::string& path, bool readOnly) {
    answerer.Expect(ChooseFile(QString::fromStdString(path), readOnly));
    Click(button);
  }
  void Click(int id) { QTest::mouseClick(toolkit.Window().Control(id), Qt::LeftButton); }
  // Clicks line `row` of a list box, as the user selects a symbol.
  void Select(int listId, int row) {
    QListWidget* list = toolkit.Window().List(listId);
    ASSERT_LT(row, list->count());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
  }
  std::string Text(int id) const { return toolkit.GetControlText(id); }

  TempDir folder;
  std::string file1 = folder.Write("one.pvx", kFile1);
  std::string file2 = folder.Write("two.pvs", kFile2);
  gui::QtToolkit toolkit;
  ModalAnswerer answerer{&toolkit.Window()};
  MainDialog dialog{toolkit, folder.Path("entities.txt")};
  QStringList messages;
};

TEST_F(WindowScenario, UpMovesTheSelectedSymbolAndDoneWritesTheFile) {
  Run([&] {
    Select(ids::kList1, 0);
    EXPECT_FALSE(toolkit.IsControlEnabled(ids::kUp1));  // the first symbol cannot go up
    Select(ids::kList1, 1);
    Click(ids::kUp1);
    EXPECT_EQ(toolkit.ListGetSelection(ids::kList1), 0);  // the moved symbol stays selected
  });
  EXPECT_EQ(ReadFileBytes(file1), File1({Oak(), Tree1(), Ash()}));
  EXPECT_EQ(ReadFileBytes(file2), kFile2);
}

TEST_F(WindowScenario, DnMovesTheSelectedSymbolOfFile2) {
  Run([&] {
    Select(ids::kList2, 1);
    EXPECT_FALSE(toolkit.IsControlEnabled(ids::kDn2));  // the last symbol cannot go down
    Select(ids::kList2, 0);
    Click(ids::kDn2);
  });
  EXPECT_EQ(ReadFileBytes(file1), kFile1);
  EXPECT_EQ(ReadFileBytes(file2), File2({Tree2(), Rose()}, {Reference("Rose"), Reference("Tree")}));
}

TEST_F(WindowScenario, SortOrdersFile1ByNameAndAReadOnlyFile2IsNeverWritten) {
  Run(
      [&] {
        EXPECT_EQ(Text(ids::kCaption2), file2 + " [ro]");
        EXPECT_EQ(Text(ids::kCaption1), file1);
        Click(ids::kSort1);
        Click(ids::kSort2);  // changes the read-only file in memory only
        EXPECT_EQ(toolkit.Window().List(ids::kList1)->item(0)->text(), QStringLiteral("Ash"));
      },
      true);
  EXPECT_EQ(ReadFileBytes(file1), File1({Ash(), Oak(), Tree1()}));
  EXPECT_EQ(ReadFileBytes(file2), kFile2);
}

TEST_F(WindowScenario, CloseWritesBackAtOnceAndEmptiesThePane) {
  Run([&] {
    EXPECT_EQ(Text(ids::kOpenClose1), "Close");
    Click(ids::kSort1);
    Click(ids::kOpenClose1);
    EXPECT_EQ(ReadFileBytes(file1), File1({Ash(), Oak(), Tree1()}));
    EXPECT_EQ(Text(ids::kOpenClose1), "Open...");
    EXPECT_EQ(Text(ids::kCaption1), "File 1");
    EXPECT_EQ(toolkit.ListCount(ids::kList1), 0);
    EXPECT_FALSE(toolkit.IsControlEnabled(ids::kSort1));
  });
  EXPECT_EQ(ReadFileBytes(file2), kFile2);
}

TEST_F(WindowScenario, RenameRenamesTheDefinitionAndItsReferences) {
  Run([&] {
    Select(ids::kList1, 0);
    EXPECT_EQ(Text(ids::kDetails), "Used 2 times\nWidth: 12.50\nHeight: 8.00\n");
    answerer.Expect([](QWidget* dialog) {
      auto* rename = qobject_cast<gui::LayoutDialog*>(dialog);
      ASSERT_NE(rename, nullptr) << dialog->metaObject()->className() << " "
                                 << dialog->windowTitle().toStdString();
      auto* edit = rename->Edit(ids::kRenameNewName);
      edit->selectAll();
      QTest::keyClicks(edit, QStringLiteral("Maple"));
      ClickLater(FindButton(dialog, QStringLiteral("OK")));
    });
    answerer.Expect(Press(QStringLiteral("OK"), &messages));
    Click(ids::kRename1);
  });
  EXPECT_EQ(messages, QStringList{"2 references renamed from\n\"Tree\" to\n\"Maple\"."});
  const Bytes renamed = Definition("Maple", {Record(2, Bytes(12, 1))}, {1.0F, 2.0F, 13.5F, 10.0F});
  EXPECT_EQ(ReadFileBytes(file1), File1({renamed, Oak(), Ash()}, "Maple"));
  EXPECT_EQ(ReadFileBytes(file2), kFile2);
}

TEST_F(WindowScenario, CopyAddsToFile2AndReplacesASameNamedSymbolInPlaceOnYes) {
  Run([&] {
    Select(ids::kList1, 1);  // Oak: File 2 has none
    EXPECT_EQ(Text(ids::kCopy), ">>> Copy >>>");
    Click(ids::kCopy);
    Select(ids::kList1, 0);  // Tree: File 2 has its own
    answerer.Expect(Press(QStringLiteral("Yes"), &messages));
    Click(ids::kCopy);
  });
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].startsWith(QStringLiteral("There is already a symbol named\n\"Tree\"")));
  EXPECT_TRUE(messages[0].contains(QString::fromStdString(file2)));
  EXPECT_EQ(ReadFileBytes(file1), kFile1);
  EXPECT_EQ(ReadFileBytes(file2),
            File2({Rose(), Tree1(), Oak()}, {Reference("Rose"), Reference("Tree")}));
}

TEST_F(WindowScenario, DeleteWithItsReferencesAfterTwoQuestions) {
  Run([&] {
    Select(ids::kList2, 1);
    answerer.Expect(Press(QStringLiteral("Yes"), &messages));
    answerer.Expect(Press(QStringLiteral("Yes"), &messages));
    answerer.Expect(Press(QStringLiteral("OK"), &messages));
    Click(ids::kDelete2);
    EXPECT_EQ(toolkit.ListCount(ids::kList2), 1);
  });
  EXPECT_EQ(messages, (QStringList{"Delete symbol \"Tree\" (Used 1 times)?",
                                   "Delete all references to this symbol?",
                                   "1 references to symbol \"Tree\" removed."}));
  EXPECT_EQ(ReadFileBytes(file1), kFile1);
  EXPECT_EQ(ReadFileBytes(file2), File2({Rose()}, {Reference("Rose")}));
}

TEST_F(WindowScenario, XUnusedDeletesTheSymbolsNothingUses) {
  Run([&] {
    answerer.Expect(Press(QStringLiteral("Yes"), &messages));
    answerer.Expect(Press(QStringLiteral("OK"), &messages));
    Click(ids::kXUnused1);
  });
  EXPECT_EQ(messages,
            (QStringList{QString::fromStdString("Delete all unused symbols in \"" + file1 + "\"?"),
                         "1 symbols deleted"}));
  EXPECT_EQ(ReadFileBytes(file1), File1({Tree1(), Oak()}));
  EXPECT_EQ(ReadFileBytes(file2), kFile2);
}

TEST_F(WindowScenario, ImportAppendsTheMetafileAsANewSymbolOfFile1) {
  const std::string metafile = RUNEBIN_WMF_CORPUS "/pillow-drawing.wmf";
  std::unique_ptr<SymbolDef> expected;
  ASSERT_EQ(ImportMetafile(metafile, "leaf", 50.0F, expected), 0);
  ASSERT_NE(expected, nullptr);

  QString offeredName;
  Run([&] {
    answerer.Expect(ChooseFile(QString::fromStdString(metafile)));
    answerer.Expect([&](QWidget* dialog) {
      auto* import = qobject_cast<gui::LayoutDialog*>(dialog);
      ASSERT_NE(import, nullptr);
      offeredName = import->Edit(ids::kImportName)->text();
      import->Edit(ids::kImportName)->setText(QStringLiteral("leaf"));
      import->Edit(ids::kImportMaxSize)->setText(QStringLiteral("50"));
      ClickLater(FindButton(dialog, QStringLiteral("OK")));
    });
    Click(ids::kImport1);
    EXPECT_EQ(toolkit.ListCount(ids::kList1), 4);
  });
  EXPECT_EQ(offeredName, QStringLiteral("pillow-drawing.wmf"));
  EXPECT_EQ(dialog.LastMaxSize(), 50.0F);
  const auto bytes = expected->Bytes();
  EXPECT_EQ(ReadFileBytes(file1),
            File1({Tree1(), Oak(), Ash(), Bytes(bytes.begin(), bytes.end())}));
}

TEST_F(WindowScenario, File2ImportOnlyExplainsAndUnchangedFilesAreNotWritten) {
  Run([&] {
    answerer.Expect(Press(QStringLiteral("OK"), &messages));
    Click(ids::kImport2);
    QTest::keyClick(&toolkit.Window(), Qt::Key_Escape);  // ignored
    EXPECT_TRUE(toolkit.Window().isVisible());
  });
  EXPECT_EQ(messages, QStringList{"Import only allowed on File 1"});
  EXPECT_EQ(ReadFileBytes(file1), kFile1);
  EXPECT_EQ(ReadFileBytes(file2), kFile2);
  EXPECT_EQ(folder.List(), (std::vector<std::string>{"entities.txt", "one.pvx", "two.pvs"}));
}

// Chooses "&About Runebin..." in the window menu: the system menu where there is one, the
// window's context menu elsewhere.
void ChooseAboutItem(gui::MainWindow& window) {
#ifdef Q_OS_WIN
  SendMessageW(reinterpret_cast<HWND>(window.winId()), WM_SYSCOMMAND, ids::kAboutCommand, 0);
#else
  ASSERT_NE(window.AboutAction(), nullptr);
  window.AboutAction()->trigger();
#endif
}

TEST(ProgramRun, TheAboutBoxComesFirstThenTheMainWindowWhoseAboutItemShowsItAgain) {
  gui::QtToolkit toolkit;
  ModalAnswerer answerer(&toolkit.Window());
  QStringList titles;
  bool mainWindowShownUnderFirstAbout = true;
  answerer.Expect([&](QWidget* about) {
    titles.append(about->windowTitle());
    mainWindowShownUnderFirstAbout = toolkit.Window().isVisible();
    QTest::keyClick(about, Qt::Key_Escape);
  });
  answerer.Expect([&](QWidget* about) {
    titles.append(about->windowTitle());
    ClickLater(FindButton(about, QStringLiteral("OK")));
  });
  // Once the main window is up: choose the About item, then press Done.
  QTimer user;
  user.setInterval(10);
  QObject::connect(&user, &QTimer::timeout, [&] {
    if (!toolkit.Window().isVisible()) {
      return;
    }
    user.stop();
    ChooseAboutItem(toolkit.Window());
    EXPECT_EQ(toolkit.GetControlText(ids::kCaption1), "File 1");
    QTest::mouseClick(toolkit.Window().Control(ids::kDone), Qt::LeftButton);
  });
  user.start();
  RunScripted([] {}, [&] { EXPECT_EQ(RunApplication(toolkit), 0); });
  EXPECT_EQ(titles, (QStringList{"About Runebin", "About Runebin"}));
  EXPECT_FALSE(mainWindowShownUnderFirstAbout);
  EXPECT_FALSE(toolkit.Window().isVisible());
  EXPECT_TRUE(answerer.Unexpected().isEmpty());
}

}  // namespace
}  // namespace runebin
