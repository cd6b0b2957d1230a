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

TEST_F(Window, EveryControlIsBuiltFromItsLayoutRow) {
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
  }
  EXPECT_TRUE(qobject_cast<QPushButton*>(Control(ids::kDone))->isDefault());
}

TEST_F(Window, OnlyTheUsersClicksSelectionsAndMenuChoicesAreReported) {
  QListWidget* list = toolkit.Window().List(ids::kList1);
  Log expected{"selection 1004", "command 1003"};
  WhileRunning([&] {
    toolkit.ListSetLines(ids::kList1, {"Tree", "Oak", "Ash"});
    toolkit.ListSetSelection(ids::kList1, 2);  // the program's own: not reported
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(1)).center());
    EXPECT_EQ(toolkit.ListGetSelection(ids::kList1), 1);
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

QLineEdit* Edit(QWidget* dialog, int id) {
  return qobject_cast<gui::LayoutDialog*>(dialog)->Edit(id);
}

// Replaces the text of edit box `id` as typing would.
void Type(QWidget* dialog, int id, const QString& text) {
  Edit(dialog, id)->selectAll();
  QTest::keyClicks(Edit(dialog, id), text);
}

// A name longer than the limit, put in by the program, stays whole but can only be shortened.
TEST_F(Window, TheRenameBoxLimitsTheNameOnlyAsItIsTyped) {
  RenameDialogData rename{std::string(35, 'W'), std::string(35, 'W')};
  answerer.Expect([](QWidget* dialog) {
    QLineEdit* edit = Edit(dialog, ids::kRenameNewName);
    EXPECT_EQ(dialog->focusWidget(), edit);
    edit->end(false);
    QTest::keyClick(edit, Qt::Key_A);
    for (int i = 0; i < 4; ++i) {
      QTest::keyClick(edit, Qt::Key_Backspace);
    }
    QTest::keyClick(edit, Qt::Key_A);  // at the limit again
    ClickLater(FindButton(dialog, QStringLiteral("OK")));
  });
  ASSERT_TRUE(toolkit.RunRenameDialog(rename));
  EXPECT_EQ(rename.m_newName, std::string(31, 'W'));
}

// One run through the widgets proves the window's events reach the program and its answers come
// back: the file dialog cancelled, then File 2 opened with its read-only box ticked and File 1 by
// a name typed without its extension; a list click and the rename box, the name shown in
// Windows-1252; the WMF Import box cancelled, then showing its values, refusing a Max Size with
// a warning box and stopping a typed name at 31 characters; then Done.
TEST(Scenario, CommandsThroughTheWidgets) {
  TempDir folder;
  folder.Write("one.pvx", Drawing({Definition("Tree"), Reference("Tree"), Reference("Tree")}));
  const std::string other = folder.Write("two.pvx", Drawing({Definition("Oak")}));
  const QString wmf = QStringLiteral(RUNEBIN_WMF_CORPUS "/wmfjs-rect.wmf");
  gui::QtToolkit toolkit;
  ModalAnswerer answerer{&toolkit.Window()};
  MainDialog dialog{toolkit, folder.Path("entities.txt")};
  QStringList shown, lines;
  const auto click = [&](int id) {
    QTest::mouseClick(toolkit.Window().Control(id), Qt::LeftButton);
  };
  const auto pressLater = [](const QString& button) {
    return [button](QWidget* widget) { ClickLater(FindButton(widget, button)); };
  };
  RunScripted(
      [&] {
        answerer.Expect([](QWidget* box) { QMetaObject::invokeMethod(box, "reject"); });
        click(ids::kOpenClose2);
        answerer.Expect(ChooseFile(QString::fromStdString(other), true));
        click(ids::kOpenClose2);
        EXPECT_EQ(toolkit.GetControlText(ids::kCaption2), other + " [ro]");
        answerer.Expect([&](QWidget* widget) {
          auto* box = qobject_cast<QFileDialog*>(widget);
          shown << box->windowTitle() + ": " + box->nameFilters().join(QStringLiteral(", "));
          ChooseFile(QString::fromStdString(folder.Path("one")))(widget);
        });
        click(ids::kOpenClose1);
        QListWidget* list = toolkit.Window().List(ids::kList1);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(0)).center());
        answerer.Expect([&](QWidget* rename) {
          Edit(rename, ids::kRenameNewName)->setText(QStringLiteral("Linde \u00E9t\u00E9"));
          pressLater(QStringLiteral("OK"))(rename);
        });
        const auto noteBox = [&](QWidget* widget) {
          auto* box = qobject_cast<QMessageBox*>(widget);
          ASSERT_NE(box, nullptr);
          shown << box->windowTitle() + ": " + box->text();
          EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
          pressLater(QStringLiteral("OK"))(box);
        };
        answerer.Expect(noteBox);
        click(ids::kRename1);
        answerer.Expect(ChooseFile(wmf));
        answerer.Expect(pressLater(QStringLiteral("Cancel")));
        click(ids::kImport1);
        answerer.Expect(ChooseFile(wmf));
        answerer.Expect([&](QWidget* import) {
          shown << Edit(import, ids::kImportName)->text() + " " +
                       Edit(import, ids::kImportMaxSize)->text();
          Type(import, ids::kImportMaxSize, QStringLiteral("abc"));
          pressLater(QStringLiteral("OK"))(import);
        });
        answerer.Expect([&](QWidget* box) {
          EXPECT_EQ(qobject_cast<QMessageBox*>(box)->icon(), QMessageBox::Warning);
          noteBox(box);
        });
        answerer.Expect([&](QWidget* import) {
          Type(import, ids::kImportName, QString(40, u'n'));
          Type(import, ids::kImportMaxSize, QStringLiteral(" 0 "));
          pressLater(QStringLiteral("OK"))(import);
        });
        click(ids::kImport1);
        for (int i = 0; i < list->count(); ++i) {
          lines << list->item(i)->text();
        }
        click(ids::kDone);
        if (toolkit.Window().isVisible()) {
          ADD_FAILURE() << "Done did not end the window";
          toolkit.EndMainWindow();
        }
      },
      [&] { dialog.Run(); });
  EXPECT_EQ(answerer.Pending(), 0) << "boxes expected but never shown";
  EXPECT_EQ(answerer.Unexpected(), QStringList{});
  EXPECT_EQ(shown, (QStringList{QStringLiteral("Open Korvel File 1: Korvel Files (*.pvx), Korvel "
                                               "Symbol Catalogs (*.pvs), Korvel Templates (*.pvt), "
                                               "All Files (*)"),
                                QStringLiteral("Runebin: 2 references renamed from\n\"Tree\" "
                                               "to\n\"Linde \u00E9t\u00E9\"."),
                                QStringLiteral("wmfjs-rect.wmf 100"),
                                QStringLiteral("Runebin: Please enter a number.")}));
  EXPECT_EQ(lines, (QStringList{QStringLiteral("Linde \u00E9t\u00E9"), QString(31, u'n')}));
  EXPECT_EQ(dialog.LastMaxSize(), 0.0F);
}

}  // namespace
}  // namespace runebin
