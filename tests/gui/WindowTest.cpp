// The real main window and dialogs of the Qt toolkit: built from the layout tables and used
// through their widgets, as a user would.

#include <gtest/gtest.h>

#include <QAction>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <map>

#include "gui/LayoutDialog.h"
#include "gui/MainWindow.h"
#include "gui/QtToolkit.h"
#include "resources/MainDialogLayout.h"
#include "tests/gui/ModalAnswerer.h"
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

TEST_F(Window, OnlyTheUsersClicksAndSelectionsAreReportedAndEscapeOrCloseEndNothing) {
  QListWidget* list = toolkit.Window().List(ids::kList1);
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
    ASSERT_TRUE(QTest::qWaitForWindowActive(&toolkit.Window()));
    QTest::keyClick(&toolkit.Window(), Qt::Key_Escape);
    EXPECT_FALSE(toolkit.Window().close());
    EXPECT_TRUE(toolkit.Window().isVisible());
  });
  EXPECT_EQ(events.log, (Log{"selection 1004", "selection 1004", "command 1003"}));
}

TEST_F(Window, TheAboutItemOfTheWindowMenuSendsItsCommand) {
#ifdef Q_OS_WIN
  GTEST_SKIP() << "the item is in the system menu there";
#endif
  // Right-clicking the window brings up a menu of the window's actions.
  QAction* about = toolkit.Window().AboutAction();
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(toolkit.Window().contextMenuPolicy(), Qt::ActionsContextMenu);
  EXPECT_EQ(toolkit.Window().actions(), QList<QAction*>{about});
  EXPECT_EQ(about->text(), QStringLiteral("&About Runebin..."));
  WhileRunning([&] { about->trigger(); });
  EXPECT_EQ(events.log, Log{"command 16"});
}

TEST_F(Window, MessagesAreStandardWarningBoxesCaptionedRunebin) {
  QStringList seen;
  for (const char* button : {"OK", "Yes", "No"}) {
    answerer.Expect([&seen, button](QWidget* widget) {
      auto* box = qobject_cast<QMessageBox*>(widget);
      const bool question = box->standardButtons() == (QMessageBox::Yes | QMessageBox::No);
      seen.append(box->windowTitle() + (box->icon() == QMessageBox::Warning ? " warning " : " ") +
                  (question                                    ? "Yes/No"
                   : box->standardButtons() == QMessageBox::Ok ? "OK"
                                                               : "?") +
                  ": " + box->text());
      ClickLater(FindButton(box, button));
    });
  }
  const std::string text = "\"x.pvx\" is compressed,\nwhich can't be processed.\n\n   loading it";
  EXPECT_EQ(toolkit.ShowMessage(text, MessageKind::Ok), Answer::Ok);
  EXPECT_EQ(toolkit.ShowMessage("Delete it?", MessageKind::YesNo), Answer::Yes);
  EXPECT_EQ(toolkit.ShowMessage("Delete it?", MessageKind::YesNo), Answer::No);
  EXPECT_EQ(seen, (QStringList{"Runebin warning OK: " + QString::fromStdString(text),
                               "Runebin warning Yes/No: Delete it?",
                               "Runebin warning Yes/No: Delete it?"}));
}

TEST_F(Window, TheOpenFileDialogGivesTheFullPathAndTheReadOnlyBox) {
  TempDir folder;
  const std::string existing = folder.Write("tree.pvx", {1});
  const OpenFileRequest request{"Open File 1", "Drawings (*.pvx)|*.pvx|All Files (*.*)|*.*||",
                                ".pvx"};
  QString shown;
  answerer.Expect([&](QWidget* widget) {
    auto* dialog = qobject_cast<QFileDialog*>(widget);
    shown = dialog->windowTitle() + ": " + dialog->nameFilters().join(QStringLiteral(", "));
    ChooseFile(QString::fromStdString(existing), true)(widget);
  });
  // A name typed without an extension gets the default one, whether the file exists or not.
  answerer.Expect(ChooseFile(QString::fromStdString(folder.Path("missing"))));
  answerer.Expect([](QWidget* dialog) {
    QMetaObject::invokeMethod(qobject_cast<QDialog*>(dialog), &QDialog::reject,
                              Qt::QueuedConnection);
  });
  const auto chosen = toolkit.ChooseFileToOpen(request);
  const auto typed = toolkit.ChooseFileToOpen(request);
  EXPECT_FALSE(toolkit.ChooseFileToOpen(request).has_value());
  ASSERT_TRUE(chosen && typed);
  EXPECT_EQ(shown, QStringLiteral("Open File 1: Drawings (*.pvx), All Files (*)"));
  EXPECT_EQ(chosen->path, existing);
  EXPECT_TRUE(chosen->readOnly);
  EXPECT_EQ(typed->path, folder.Path("missing.pvx"));
  EXPECT_FALSE(typed->readOnly);
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
  answerer.Expect([](QWidget* dialog) { TypeAndPress(dialog, ids::kImportMaxSize, "-1"); });
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
            (QStringList{"Please enter a number.", "Please enter a number between 0 and 100000000.",
                         "Please enter no more than 31 characters."}));
  EXPECT_EQ(answerer.Pending(), 0);
  EXPECT_TRUE(answerer.Unexpected().isEmpty());
}

}  // namespace
}  // namespace runebin
