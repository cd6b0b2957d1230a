// The real main window, built by the Qt toolkit from the main layout table: its controls, their
// placement, the events they send, the list boxes, focus and the requests it ignores.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "gui/DialogUnits.h"
#include "gui/MainWindow.h"
#include "gui/QtToolkit.h"
#include "resources/ControlIds.h"
#include "resources/MainDialogLayout.h"
#include "tests/gui/ModalAnswerer.h"
#include "tests/gui/RecordedEvents.h"

namespace runebin {
namespace {

using testing::RecordedEvents;
using testing::RunScripted;
using Log = std::vector<std::string>;

class MainWindowTest : public ::testing::Test {
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
  QListWidget* List(int id) { return toolkit.Window().List(id); }
  void ClickItem(QListWidget* list, int row) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
  }

  gui::QtToolkit toolkit;
  RecordedEvents events;
};

const char* KindName(ControlKind kind) {
  switch (kind) {
    case ControlKind::PushButton:
    case ControlKind::DefaultPushButton:
      return "QPushButton";
    case ControlKind::GroupBox:
      return "QGroupBox";
    case ControlKind::ListBox:
      return "QListWidget";
    case ControlKind::StaticText:
    case ControlKind::Icon:
      return "QLabel";
    case ControlKind::BlackFrame:
      return "QFrame";
    case ControlKind::EditBox:
      return "QLineEdit";
  }
  return "?";
}

TEST_F(MainWindowTest, EveryControlOfTheLayoutIsThereWithItsLabelAndInitialState) {
  const auto& entries = toolkit.Window().Form().Controls();
  ASSERT_EQ(entries.size(), std::size(kMainDialogControls));
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const ControlLayout& row = kMainDialogControls[i];
    SCOPED_TRACE("control " + std::to_string(row.id) + " " + std::string(row.label));
    QWidget* widget = entries[i].widget;
    EXPECT_TRUE(widget->inherits(KindName(row.kind)));
    if (row.id != kNoControlId) {
      EXPECT_EQ(Control(row.id), widget);
      EXPECT_EQ(toolkit.GetControlText(row.id), std::string(row.label));
      EXPECT_EQ(toolkit.IsControlEnabled(row.id), row.enabled);
      EXPECT_EQ(toolkit.IsControlShown(row.id), row.shown);
    }
  }
  EXPECT_EQ(toolkit.Window().windowTitle(), QStringLiteral("Runebin"));
  EXPECT_TRUE(qobject_cast<QPushButton*>(Control(ids::kDone))->isDefault());
  EXPECT_FALSE(qobject_cast<QPushButton*>(Control(ids::kOpenClose1))->isDefault());
  // File 2's Import starts enabled, File 1's disabled; Scale All and Ref Page never show.
  EXPECT_TRUE(toolkit.IsControlEnabled(ids::kImport2));
  EXPECT_FALSE(toolkit.IsControlEnabled(ids::kImport1));
  EXPECT_FALSE(toolkit.IsControlShown(ids::kScaleAll1));
  EXPECT_FALSE(toolkit.IsControlShown(ids::kRefPage2));
  for (int list : {ids::kList1, ids::kList2}) {
    EXPECT_EQ(List(list)->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(toolkit.ListCount(list), 0);
    EXPECT_EQ(toolkit.ListGetSelection(list), -1);
  }
}

TEST_F(MainWindowTest, ControlsArePlacedFromDialogUnitsInsideAFixedWindowWithoutOverlapping) {
  const gui::DialogUnitConverter units(gui::DialogFont(kMainDialogLayout));
  const QSize size = units.ToPixels(kMainDialogLayout.width, kMainDialogLayout.height);
  EXPECT_EQ(toolkit.Window().minimumSize(), size);
  EXPECT_EQ(toolkit.Window().maximumSize(), size);

  const auto& entries = toolkit.Window().Form().Controls();
  for (const auto& entry : entries) {
    const ControlLayout& row = *entry.layout;
    EXPECT_EQ(entry.widget->geometry(), units.ToPixels(row.x, row.y, row.width, row.height))
        << "control " << row.id;
    EXPECT_TRUE(QRect(QPoint(0, 0), size).contains(entry.widget->geometry())) << row.id;
  }
  // Shown controls may lie inside a group box or the frame, but never on one another.
  for (std::size_t i = 0; i < entries.size(); ++i) {
    for (std::size_t j = i + 1; j < entries.size(); ++j) {
      const QRect a = entries[i].widget->geometry();
      const QRect b = entries[j].widget->geometry();
      if (!entries[i].layout->shown || !entries[j].layout->shown ||
          entries[i].layout->kind == ControlKind::GroupBox || !a.intersects(b)) {
        continue;
      }
      ADD_FAILURE() << "controls " << entries[i].layout->id << " and " << entries[j].layout->id
                    << " overlap";
    }
  }
}

TEST_F(MainWindowTest, ButtonsSendTheirIdsAndDisabledOnesSendNothing) {
  WhileRunning([&] {
    QTest::mouseClick(Control(ids::kOpenClose1), Qt::LeftButton);
    QTest::mouseClick(Control(ids::kImport1), Qt::LeftButton);  // disabled at start
    toolkit.EnableControl(ids::kImport1, true);
    QTest::mouseClick(Control(ids::kImport1), Qt::LeftButton);
    toolkit.EnableControl(ids::kImport1, false);
    QTest::mouseClick(Control(ids::kImport1), Qt::LeftButton);
    for (int id : {ids::kSort2, ids::kCopy, ids::kXUnused1, ids::kRename2, ids::kDn1}) {
      toolkit.EnableControl(id, true);
      qobject_cast<QAbstractButton*>(Control(id))->click();
    }
    QTest::mouseClick(Control(ids::kDone), Qt::LeftButton);
  });
  EXPECT_EQ(events.log, (Log{"command 1000", "command 1001", "command 1014", "command 1002",
                             "command 1024", "command 1016", "command 1007", "command 1"}));
}

TEST_F(MainWindowTest, OnlyTheUsersSelectionChangesAreReportedByMouseAndKeyboardAlike) {
  WhileRunning([&] {
    toolkit.ListSetLines(ids::kList1, {"Tree", "Oak", "Ash"});
    toolkit.ListSetSelection(ids::kList1, 2);
    toolkit.ListSetLines(ids::kList2, {"Rose"});
    toolkit.ListSetSelection(ids::kList2, 0);
    toolkit.ListSetSelection(ids::kList2, -1);
    EXPECT_TRUE(events.log.empty());
    EXPECT_EQ(toolkit.ListGetSelection(ids::kList1), 2);
    EXPECT_EQ(toolkit.ListGetSelection(ids::kList2), -1);

    ClickItem(List(ids::kList1), 1);
    EXPECT_EQ(toolkit.ListGetSelection(ids::kList1), 1);
    List(ids::kList1)->setFocus();
    QTest::keyClick(List(ids::kList1), Qt::Key_Up);
    EXPECT_EQ(toolkit.ListGetSelection(ids::kList1), 0);
    ClickItem(List(ids::kList2), 0);
    EXPECT_EQ(toolkit.ListGetSelection(ids::kList2), 0);

    // Refilling a list is the program's doing: the selection goes, silently.
    toolkit.ListSetLines(ids::kList1, {"Tree", "Oak"});
    EXPECT_EQ(toolkit.ListGetSelection(ids::kList1), -1);
    toolkit.ListSetSelection(ids::kList1, 5);  // past the end: no line selected
    EXPECT_EQ(toolkit.ListGetSelection(ids::kList1), -1);
    toolkit.ListReset(ids::kList2);
    EXPECT_EQ(toolkit.ListCount(ids::kList2), 0);
  });
  EXPECT_EQ(events.log, (Log{"selection 1004", "selection 1004", "selection 1011"}));
}

TEST_F(MainWindowTest, ListLinesKeepEveryByteOfTheNames) {
  toolkit.ListSetLines(ids::kList1, {"\xC9glise", "\x80uro", "plain"});
  ASSERT_EQ(toolkit.ListCount(ids::kList1), 3);
  EXPECT_EQ(List(ids::kList1)->item(0)->text(), QString::fromUtf8("\u00C9glise"));
  EXPECT_EQ(List(ids::kList1)->item(1)->text(), QString::fromUtf8("\u20ACuro"));
}

TEST_F(MainWindowTest, EscapeAndTheCloseBoxAreIgnoredAndEnterPressesDoneOrTheFocusedButton) {
  WhileRunning([&] {
    QWidget& window = toolkit.Window();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());

    toolkit.ListSetLines(ids::kList1, {"Tree"});
    List(ids::kList1)->setFocus();
    QTest::keyClick(List(ids::kList1), Qt::Key_Return);
    Control(ids::kOpenClose2)->setFocus();
    QTest::keyClick(Control(ids::kOpenClose2), Qt::Key_Return);
    EXPECT_TRUE(window.isVisible());
  });
  EXPECT_EQ(events.log, (Log{"command 1", "command 1003"}));
}

TEST_F(MainWindowTest, FocusStartsOnFile1OpenAndTabFollowsTheLayoutOrder) {
  std::vector<int> expected;
  for (const ControlLayout& row : kMainDialogControls) {
    if (row.tabStop && row.enabled && row.shown) {
      expected.push_back(row.id);
    }
  }
  std::vector<int> visited;
  WhileRunning([&] {
    ASSERT_TRUE(QTest::qWaitForWindowActive(&toolkit.Window()));
    for (std::size_t i = 0; i < expected.size() + 1; ++i) {
      QWidget* focused = QApplication::focusWidget();
      int id = 0;
      for (const auto& entry : toolkit.Window().Form().Controls()) {
        if (entry.widget == focused) {
          id = entry.layout->id;
        }
      }
      visited.push_back(id);
      QTest::keyClick(focused, Qt::Key_Tab);
    }
  });
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(expected.front(), ids::kOpenClose1);
  expected.push_back(expected.front());  // and round again
  EXPECT_EQ(visited, expected);
}

TEST_F(MainWindowTest, AccessibleNamesAreTheVisibleLabelsAndFollowThem) {
  EXPECT_EQ(Control(ids::kOpenClose1)->accessibleName(), QStringLiteral("Open..."));
  EXPECT_EQ(Control(ids::kCaption2)->accessibleName(), QStringLiteral("File 2"));
  EXPECT_EQ(Control(ids::kList1)->accessibleName(), QStringLiteral("File 1 symbols"));
  EXPECT_EQ(Control(ids::kList2)->accessibleName(), QStringLiteral("File 2 symbols"));
  EXPECT_TRUE(Control(ids::kDetails)->inherits("QLabel"));
  EXPECT_EQ(qobject_cast<QLabel*>(Control(ids::kDetails))->textFormat(), Qt::PlainText);

  toolkit.SetControlText(ids::kOpenClose1, "Close");
  toolkit.SetControlText(ids::kCopy, ">>> Copy >>>");
  toolkit.SetControlText(ids::kDetails, "Used 1 times\nWidth: 12.50\nHeight: 0.00\n");
  EXPECT_EQ(Control(ids::kOpenClose1)->accessibleName(), QStringLiteral("Close"));
  EXPECT_EQ(toolkit.GetControlText(ids::kCopy), ">>> Copy >>>");
  EXPECT_EQ(toolkit.GetControlText(ids::kDetails), "Used 1 times\nWidth: 12.50\nHeight: 0.00\n");

  // A caption too long for its box is shortened on screen but kept whole everywhere else.
  const std::string path =
      "/home/someone/projects/with/a/rather/deep/folder/structure/catalog.pvs [ro]";
  toolkit.SetControlText(ids::kCaption1, path);
  auto* box = qobject_cast<QGroupBox*>(Control(ids::kCaption1));
  EXPECT_EQ(toolkit.GetControlText(ids::kCaption1), path);
  EXPECT_EQ(box->accessibleName(), QString::fromStdString(path));
  EXPECT_NE(box->title(), QString::fromStdString(path));
  EXPECT_LE(box->fontMetrics().horizontalAdvance(box->title()), box->width());
  EXPECT_TRUE(box->title().endsWith(QStringLiteral(" [ro]")));
  toolkit.SetControlText(ids::kCaption1, "File 1");
  EXPECT_EQ(box->title(), QStringLiteral("File 1"));
}

TEST_F(MainWindowTest, TheAboutItemOfTheWindowMenuSendsItsCommand) {
#ifdef Q_OS_WIN
  GTEST_SKIP() << "the item is in the system menu there, see ProgramRun";
#endif
  QAction* about = toolkit.Window().AboutAction();
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(about->text(), QStringLiteral("&About Runebin..."));
  QStringList offered;
  WhileRunning([&] {
    // Right-clicking the window (here on a button) brings up the menu; choose the item.
    QTimer::singleShot(50, [&] {
      if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
        for (QAction* action : menu->actions()) {
          offered.append(action->text());
        }
        menu->hide();
      }
      about->trigger();
    });
    QWidget* button = Control(ids::kOpenClose2);
    QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(5, 5),
                              button->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(button, &request);
    QTest::qWait(200);
  });
  EXPECT_EQ(offered, QStringList{QStringLiteral("&About Runebin...")});
  EXPECT_EQ(events.log, Log{"command 16"});
}

TEST_F(MainWindowTest, UnknownIdsAreIgnored) {
  toolkit.EnableControl(4242, true);
  toolkit.SetControlText(4242, "x");
  toolkit.ListSetLines(ids::kDone, {"not a list"});
  EXPECT_FALSE(toolkit.IsControlEnabled(4242));
  EXPECT_EQ(toolkit.GetControlText(4242), "");
  EXPECT_EQ(toolkit.ListCount(ids::kDone), 0);
  EXPECT_EQ(toolkit.ListGetSelection(ids::kDone), -1);
}

}  // namespace
}  // namespace runebin
