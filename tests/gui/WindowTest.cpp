// The real main window and dialogs of the Qt toolkit, built from the layout tables and used
// through their widgets as a user would, and whole runs of the program through them.

#include <gtest/gtest.h>

#include <QAction>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <map>

#include "app/MainDialog.h"
#include "gui/LayoutDialog.h"
#include "gui/MainWindow.h"
#include "gui/QtToolkit.h"
#include "metafile/ImportMetafile.h"
#include "render/DisplayList.h"
#include "resources/MainDialogLayout.h"
#include "tests/gui/ModalAnswerer.h"
#include "tests/support/DrawingBuilder.h"
#include "tests/support/TempDir.h"

namespace runebin {
namespace {

using namespace runebin::testing;
using Log = std::vector<std::string>;

class Window : public ::testing::Test {
 protected:
  // Runs `steps` while the main window's modal loop runs, then ends the loop.
  void WhileRunning(const std::function<void()>& steps) {
    RunScripted(
        [&] {
          steps();
          toolkit.EndMainWindow();
        },
        [&] { toolkit.RunMainWindow(events); });
  }
  QWidget* Control(int id) { return toolkit.Window().Control(id); }

  gui::QtToolkit toolkit;
  ModalAnswerer answerer;
  struct Events : WindowEvents {
    void OnCommand(int id) override { log.push_back("command " + std::to_string(id)); }
    void OnSelectionChange(int id) override { log.push_back("selection " + std::to_string(id)); }
    Log log;
  } events;
};

TEST_F(Window, EveryControlIsBuiltFromItsLayoutRowAndNoneOverlapsAnother) {
  const std::map<ControlKind, const char*> classes = {
      {ControlKind::PushButton, "QPushButton"}, {ControlKind::DefaultPushButton, "QPushButton"},
      {ControlKind::GroupBox, "QGroupBox"},     {ControlKind::ListBox, "QListWidget"},
      {ControlKind::StaticText, "QLabel"},      {ControlKind::BlackFrame, "QFrame"}};
  const gui::DialogUnitConverter units(gui::DialogFont(kMainDialogLayout));
  const QRect window(QPoint(0, 0),
                     units.ToPixels(kMainDialogLayout.width, kMainDialogLayout.height));
  EXPECT_EQ(toolkit.Window().minimumSize(), window.size());
  EXPECT_EQ(toolkit.Window().maximumSize(), window.size());
  EXPECT_EQ(toolkit.Window().windowTitle(), QStringLiteral("Runebin"));
  const auto& entries = toolkit.Window().Form().Controls();
  ASSERT_EQ(entries.size(), std::size(kMainDialogControls));
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const ControlLayout& row = kMainDialogControls[i];
    SCOPED_TRACE("control " + std::to_string(row.id) + " " + std::string(row.label));
    const QRect place = entries[i].widget->geometry();
    EXPECT_TRUE(entries[i].widget->inherits(classes.at(row.kind)));
    EXPECT_EQ(place, units.ToPixels(row.x, row.y, row.width, row.height));
    EXPECT_TRUE(window.contains(place));
    if (row.id != kNoControlId) {
      EXPECT_EQ(toolkit.GetControlText(row.id), row.label);
      EXPECT_EQ(toolkit.IsControlEnabled(row.id), row.enabled);
      EXPECT_EQ(toolkit.IsControlShown(row.id), row.shown);
    }
    // Shown controls may lie inside a group box, never on one another.
    for (std::size_t j = i + 1; j < entries.size(); ++j) {
      const ControlLayout& other = kMainDialogControls[j];
      EXPECT_TRUE(!row.shown || !other.shown || row.kind == ControlKind::GroupBox ||
                  other.kind == ControlKind::GroupBox ||
                  !place.intersects(entries[j].widget->geometry()))
          << "overlaps control " << other.id;
    }
  }
  EXPECT_TRUE(qobject_cast<QPushButton*>(Control(ids::kDone))->isDefault());
}

TEST_F(Window, OnlyTheUsersClicksSelectionsAndMenuChoicesAreReported) {
  QListWidget* list = toolkit.Window().List(ids::kList1);
  Log expected{"selection 1004", "selection 1004", "command 1003"};
  WhileRunning([&] {
    toolkit.ListSetLines(ids::kList1, {"Tree", "Oak", "Ash"});
    toolkit.ListSetSelection(ids::kList1, 2);  // the program's own: not reported
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(1)).center());
    EXPECT_EQ(toolkit.ListGetSelection(ids::kList1), 1);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Up);
    EXPECT_EQ(toolkit.ListGetSelection(ids::kList1), 0);
    toolkit.ListSetLines(ids::kList1, {"Tree"});  // refilled: the selection goes, silently
    EXPECT_EQ(toolkit.ListGetSelection(ids::kList1), -1);
    QTest::mouseClick(Control(ids::kImport1), Qt::LeftButton);  // disabled
    QTest::mouseClick(Control(ids::kOpenClose2), Qt::LeftButton);
    // Escape and the close box end nothing.
    ASSERT_TRUE(QTest::qWaitForWindowActive(&toolkit.Window()));
    QTest::keyClick(&toolkit.Window(), Qt::Key_Escape);
    EXPECT_FALSE(toolkit.Window().close());
    EXPECT_TRUE(toolkit.Window().isVisible());
#ifndef Q_OS_WIN  // there the About item is in the system menu
    // Right-clicking the window brings up a menu of its actions: the About item alone.
    EXPECT_EQ(toolkit.Window().contextMenuPolicy(), Qt::ActionsContextMenu);
    ASSERT_EQ(toolkit.Window().actions().size(), 1);
    EXPECT_EQ(toolkit.Window().actions()[0]->text(), QStringLiteral("&About Runebin..."));
    toolkit.Window().actions()[0]->trigger();
    expected.push_back("command 16");
#endif
  });
  EXPECT_EQ(events.log, expected);
}

// The preview frame paints the picture fitted on white and describes it; null empties it.
TEST_F(Window, ThePreviewFramePaintsItsPicture) {
  auto picture = std::make_shared<DisplayList>();
  picture->vertices = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  Shape square;
  square.filled = true;
  square.colour = 0x0000FF;  // red
  square.vertexCount = 4;
  picture->shapes = {square};
  picture->bounds.Include(0, 0);
  picture->bounds.Include(20, 10);  // the square fills the left half
  toolkit.SetPicture(ids::kPreview, picture, "a red square");
  QWidget* frame = Control(ids::kPreview);
  EXPECT_EQ(frame->accessibleDescription(), QStringLiteral("a red square"));
  const QImage image = frame->grab().toImage();
  const int middle = image.height() / 2;
  EXPECT_EQ(image.pixelColor(image.width() / 4, middle), QColor(Qt::red));
  EXPECT_EQ(image.pixelColor(image.width() * 3 / 4, middle), QColor(Qt::white));
  toolkit.SetPicture(ids::kPreview, nullptr, "");
  EXPECT_NE(frame->grab().toImage().pixelColor(image.width() * 3 / 4, middle), QColor(Qt::white));
}

TEST_F(Window, TheOpenFileDialogGivesTheFullPathAndTheReadOnlyBox) {
  TempDir folder;
  const OpenFileRequest request{"Open File 1", "Drawings (*.pvx)|*.pvx|All Files (*.*)|*.*||",
                                ".pvx"};
  QString shown;
  answerer.Expect([&](QWidget* widget) {
    auto* dialog = qobject_cast<QFileDialog*>(widget);
    shown = dialog->windowTitle() + ": " + dialog->nameFilters().join(QStringLiteral(", "));
    ChooseFile(QString::fromStdString(folder.Path("missing")), true)(widget);
  });
  answerer.Expect([](QWidget* dialog) { QMetaObject::invokeMethod(dialog, "reject"); });
  const auto chosen = toolkit.ChooseFileToOpen(request);
  EXPECT_FALSE(toolkit.ChooseFileToOpen(request).has_value());
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(shown, QStringLiteral("Open File 1: Drawings (*.pvx), All Files (*)"));
  EXPECT_EQ(chosen->path, folder.Path("missing.pvx"));  // a typed name gets the default extension
  EXPECT_TRUE(chosen->readOnly);
}

QLineEdit* Edit(QWidget* dialog, int id) {
  return qobject_cast<gui::LayoutDialog*>(dialog)->Edit(id);
}

// Replaces the text of edit box `id` as typing would, then presses `button` (if any).
void TypeAndPress(QWidget* dialog, int id, const QString& text, const QString& button = "OK") {
  Edit(dialog, id)->selectAll();
  QTest::keyClicks(Edit(dialog, id), text);
  ClickLater(button.isEmpty() ? nullptr : FindButton(dialog, button));
}

TEST_F(Window, DialogsRefuseBadFieldsWithTheProgramsMessagesAndLimitNames) {
  QStringList messages;
  QString offered;
  WmfImportDialogData import{"tree.wmf", 25.0F};
  answerer.Expect([&](QWidget* dialog) {
    offered =
        Edit(dialog, ids::kImportName)->text() + " " + Edit(dialog, ids::kImportMaxSize)->text();
    TypeAndPress(dialog, ids::kImportMaxSize, QStringLiteral("abc"));
  });
  answerer.Expect(Press(QStringLiteral("OK"), &messages));
  answerer.Expect([](QWidget* dialog) {
    TypeAndPress(dialog, ids::kImportName, QString(40, u'n'), "");  // stops at 31
    TypeAndPress(dialog, ids::kImportMaxSize, " 0 ");
  });
  ASSERT_TRUE(toolkit.RunWmfImportDialog(import));
  EXPECT_EQ(offered, QStringLiteral("tree.wmf 25"));
  EXPECT_EQ(import.m_name, std::string(31, 'n'));
  EXPECT_EQ(import.m_maxSize, 0.0F);
  answerer.Expect(
      [](QWidget* dialog) { TypeAndPress(dialog, ids::kImportMaxSize, "7", "Cancel"); });
  EXPECT_FALSE(toolkit.RunWmfImportDialog(import));
  EXPECT_EQ(import.m_maxSize, 0.0F);

  // A name already longer than 31 characters stays whole until OK refuses it; then it can be
  // shortened, not lengthened.
  RenameDialogData rename{std::string(35, 'W'), std::string(35, 'W')};
  answerer.Expect([](QWidget* dialog) {
    EXPECT_EQ(dialog->focusWidget(), Edit(dialog, ids::kRenameNewName));
    ClickLater(FindButton(dialog, QStringLiteral("OK")));
  });
  answerer.Expect(Press(QStringLiteral("OK"), &messages));
  answerer.Expect([](QWidget* dialog) {
    QLineEdit* edit = Edit(dialog, ids::kRenameNewName);
    EXPECT_EQ(dialog->focusWidget(), edit);
    edit->end(false);
    QTest::keyClick(edit, Qt::Key_A);
    for (int i = 0; i < 4; ++i) {
      QTest::keyClick(edit, Qt::Key_Backspace);
    }
    ClickLater(FindButton(dialog, QStringLiteral("OK")));
  });
  ASSERT_TRUE(toolkit.RunRenameDialog(rename));
  EXPECT_EQ(rename.m_newName, std::string(31, 'W'));
  EXPECT_EQ(messages,
            (QStringList{"Please enter a number.", "Please enter no more than 31 characters."}));
  EXPECT_EQ(answerer.Pending(), 0);
  EXPECT_TRUE(answerer.Unexpected().isEmpty());
}

// A whole run of the program through its widgets: both files opened with the file dialog, a copy
// answered Yes, a move, a rename and an import with their boxes, then Done; the files on disk
// are compared with the bytes expected. File 1: Tree (used twice), Oak and Ash; File 2: Rose and
// a Tree of its own.
Bytes TreeNamed(const std::string& name) {
  return Definition(name, {Record(2, Bytes(12, 1))}, {1.0F, 2.0F, 13.5F, 10.0F});
}
Bytes File1(const std::vector<Bytes>& definitions, const std::string& tree) {
  return Drawing(
      {TypeZero(1), Join(definitions), Reference(tree), Reference("Oak"), Reference(tree)});
}
Bytes File2(const std::vector<Bytes>& definitions) {
  return Drawing({TypeZero(2), Join(definitions), Reference("Rose"), Reference("Tree")});
}

TEST(Scenario, CommandsThroughTheWindowWriteTheExpectedFiles) {
  const Bytes tree = TreeNamed("Tree"), oak = Definition("Oak", {Record(3, Bytes(8, 2))}),
              ash = Definition("Ash"), rose = Definition("Rose", {Record(4, Bytes(4, 3))});
  const std::string metafile = RUNEBIN_WMF_CORPUS "/pillow-drawing.wmf";
  std::unique_ptr<SymbolDef> leaf;
  ASSERT_EQ(ImportMetafile(metafile, "leaf", 50.0F, leaf), ImportResult::Succeeded);
  TempDir folder;
  const std::string file1 = folder.Write("one.pvx", File1({tree, oak, ash}, "Tree"));
  const std::string file2 =
      folder.Write("two.pvs", File2({rose, Definition("Tree", {Record(5, Bytes(6, 4))})}));
  gui::QtToolkit toolkit;
  ModalAnswerer answerer{&toolkit.Window()};
  MainDialog dialog{toolkit, folder.Path("entities.txt")};
  QStringList messages;
  const auto click = [&](int id) {
    QTest::mouseClick(toolkit.Window().Control(id), Qt::LeftButton);
  };
  const auto select = [&](int row) {
    QListWidget* list = toolkit.Window().List(ids::kList1);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
  };
  // The next message box, checked and answered with `button`; its text is noted.
  const auto reply = [&](const char* button) {
    answerer.Expect([&messages, button](QWidget* widget) {
      auto* box = qobject_cast<QMessageBox*>(widget);
      EXPECT_EQ(box->windowTitle(), QStringLiteral("Runebin"));
      EXPECT_EQ(box->icon(), QMessageBox::Warning);
      const bool question = box->standardButtons() == (QMessageBox::Yes | QMessageBox::No);
      messages.append((question ? "Yes/No: " : "OK: ") + box->text());
      ClickLater(FindButton(box, button));
    });
  };
  // The next dialog, with these edit boxes filled in, and OK.
  const auto fill = [&](const std::vector<std::pair<int, QString>>& fields) {
    answerer.Expect([=](QWidget* widget) {
      for (const auto& [id, text] : fields) {
        Edit(widget, id)->setText(text);
      }
      ClickLater(FindButton(widget, QStringLiteral("OK")));
    });
  };
  RunScripted(
      [&] {
        answerer.Expect(ChooseFile(QString::fromStdString(file1)));
        click(ids::kOpenClose1);
        answerer.Expect(ChooseFile(QString::fromStdString(file2)));
        click(ids::kOpenClose2);
        select(0);
        reply("Yes");
        click(ids::kCopy);
        select(1);
        click(ids::kUp1);
        select(1);
        fill({{ids::kRenameNewName, "Maple"}});
        reply("OK");
        click(ids::kRename1);
        answerer.Expect(ChooseFile(QString::fromStdString(metafile)));
        fill({{ids::kImportName, "leaf"}, {ids::kImportMaxSize, "50"}});
        click(ids::kImport1);
        click(ids::kDone);
        if (toolkit.Window().isVisible()) {
          ADD_FAILURE() << "Done did not end the window";
          toolkit.EndMainWindow();
        }
      },
      [&] { dialog.Run(); });
  EXPECT_EQ(answerer.Pending(), 0) << "boxes expected but never shown";
  EXPECT_EQ(answerer.Unexpected(), QStringList{});
  const Bytes leafBytes(leaf->Bytes().begin(), leaf->Bytes().end());
  EXPECT_EQ(ReadFileBytes(file1), File1({oak, TreeNamed("Maple"), ash, leafBytes}, "Maple"));
  EXPECT_EQ(ReadFileBytes(file2), File2({rose, tree}));
  EXPECT_EQ(messages.replaceInStrings(QString::fromStdString(folder.Path()), "DIR"),
            (QStringList{"Yes/No: There is already a symbol named\n\"Tree\"\nin file\n"
                         "\"DIR/two.pvs\".\nReplace it?",
                         "OK: 2 references renamed from\n\"Tree\" to\n\"Maple\"."}));
}

}  // namespace
}  // namespace runebin
