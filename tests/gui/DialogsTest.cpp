// Message boxes, the open-file dialog and the three small dialogs of the Qt toolkit, answered as
// a user would through their real widgets.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <string>

#include "gui/ApplicationIcon.h"
#include "gui/DialogUnits.h"
#include "gui/LayoutDialog.h"
#include "gui/OpenFileDialog.h"
#include "gui/QtToolkit.h"
#include "gui/RenameDialog.h"
#include "gui/WmfImportDialog.h"
#include "resources/AboutBoxLayout.h"
#include "resources/ControlIds.h"
#include "resources/MainDialogLayout.h"
#include "resources/RenameDialogLayout.h"
#include "resources/WmfImportDialogLayout.h"
#include "tests/gui/ModalAnswerer.h"
#include "tests/support/TempDir.h"

namespace runebin {
namespace {

using testing::ClickLater;
using testing::FindButton;
using testing::ModalAnswerer;

class DialogsTest : public ::testing::Test {
 protected:
  gui::QtToolkit toolkit;
  ModalAnswerer answerer;
};

struct SeenBox {
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
};

// Notes what the message box shows, then presses `button`.
ModalAnswerer::Answer Press(SeenBox& seen, const QString& button) {
  return [&seen, button](QWidget* widget) {
    auto* box = qobject_cast<QMessageBox*>(widget);
    ASSERT_NE(box, nullptr);
    seen = {box->windowTitle(), box->text(), box->icon(), box->standardButtons()};
    ClickLater(FindButton(box, button));
  };
}

TEST_F(DialogsTest, MessagesAreStandardWarningBoxesCaptionedRunebin) {
  SeenBox report, question, declined;
  answerer.Expect(Press(report, QStringLiteral("OK")));
  answerer.Expect(Press(question, QStringLiteral("Yes")));
  answerer.Expect(Press(declined, QStringLiteral("No")));
  const std::string longText =
      "\"x.pvx\" is compressed,\nwhich can't be processed.\n\n   loading it";

  EXPECT_EQ(toolkit.ShowMessage(longText, MessageKind::Ok), Answer::Ok);
  EXPECT_EQ(toolkit.ShowMessage("Delete it?", MessageKind::YesNo), Answer::Yes);
  EXPECT_EQ(toolkit.ShowMessage("Delete it?", MessageKind::YesNo), Answer::No);

  EXPECT_EQ(report.title, QStringLiteral("Runebin"));
  EXPECT_EQ(report.icon, QMessageBox::Warning);
  EXPECT_EQ(report.text, QString::fromStdString(longText));  // blank line and indent kept
  EXPECT_EQ(report.buttons, QMessageBox::Ok);
  EXPECT_EQ(question.buttons, QMessageBox::Yes | QMessageBox::No);
  EXPECT_EQ(question.icon, QMessageBox::Warning);
  EXPECT_TRUE(answerer.Unexpected().isEmpty());
}

TEST(OpenFileFilters, PairsBecomeQtNameFiltersAndStarDotStarMeansEveryFile) {
  EXPECT_EQ(gui::ToQtNameFilters("Korvel Files (*.pvx)|*.pvx|Korvel Symbol Catalogs (*.pvs)|*.pvs|"
                                 "Korvel Templates (*.pvt)|*.pvt|All Files (*.*)|*.*||"),
            (QStringList{"Korvel Files (*.pvx)", "Korvel Symbol Catalogs (*.pvs)",
                         "Korvel Templates (*.pvt)", "All Files (*)"}));
  EXPECT_EQ(gui::ToQtNameFilters("Windows Metafile (*.wmf)|*.wmf||"),
            QStringList{"Windows Metafile (*.wmf)"});
  EXPECT_EQ(gui::ToQtNameFilters("Pictures|*.wmf;*.emf||Ignored|*.x"),
            QStringList{"Pictures (*.wmf *.emf)"});
  EXPECT_TRUE(gui::ToQtNameFilters("").isEmpty());
}

// Types `name` into the file dialog, sets the read-only box, and confirms.
ModalAnswerer::Answer ChooseFile(const QString& name, bool readOnly, QStringList* filters = nullptr,
                                 QString* title = nullptr) {
  return [=](QWidget* widget) {
    auto* dialog = qobject_cast<QFileDialog*>(widget);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->testOption(QFileDialog::DontUseNativeDialog));
    auto* box = dialog->findChild<QCheckBox*>(QLatin1String(gui::kReadOnlyCheckBoxName));
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_FALSE(box->isChecked());
    box->setChecked(readOnly);
    if (filters != nullptr) {
      *filters = dialog->nameFilters();
      EXPECT_EQ(dialog->selectedNameFilter(), filters->value(0));
    }
    if (title != nullptr) {
      *title = dialog->windowTitle();
    }
    auto* nameField = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(nameField, nullptr);
    nameField->setText(name);
    QMetaObject::invokeMethod(dialog, &QDialog::accept, Qt::QueuedConnection);
  };
}

TEST_F(DialogsTest, TheOpenFileDialogReturnsTheFullPathAndTheReadOnlyBox) {
  testing::TempDir folder;
  const std::string existing = folder.Write("tree.pvx", {1, 2, 3});
  const OpenFileRequest request{"Open Korvel File 1",
                                "Korvel Files (*.pvx)|*.pvx|All Files (*.*)|*.*||", ".pvx"};
  QStringList filters;
  QString title;
  answerer.Expect(ChooseFile(QString::fromStdString(existing), true, &filters, &title));
  // A name typed without extension gets the default one, whether the file exists or not.
  answerer.Expect(ChooseFile(QString::fromStdString(folder.Path("missing")), false));
  answerer.Expect([](QWidget* dialog) {
    QMetaObject::invokeMethod(qobject_cast<QDialog*>(dialog), &QDialog::reject,
                              Qt::QueuedConnection);
  });

  const auto chosen = toolkit.ChooseFileToOpen(request);
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(chosen->path, existing);
  EXPECT_TRUE(chosen->readOnly);
  EXPECT_EQ(title, QStringLiteral("Open Korvel File 1"));
  EXPECT_EQ(filters, (QStringList{"Korvel Files (*.pvx)", "All Files (*)"}));

  const auto typed = toolkit.ChooseFileToOpen(request);
  ASSERT_TRUE(typed.has_value());
  EXPECT_EQ(typed->path, folder.Path("missing.pvx"));
  EXPECT_FALSE(typed->readOnly);

  EXPECT_FALSE(toolkit.ChooseFileToOpen(request).has_value());
  EXPECT_TRUE(answerer.Unexpected().isEmpty());
}

// Replaces the text of edit `id` of the dialog the way a user's typing would.
void Type(QWidget* dialog, int id, const QString& text) {
  auto* edit = qobject_cast<QLineEdit*>(qobject_cast<gui::LayoutDialog*>(dialog)->Control(id));
  ASSERT_NE(edit, nullptr);
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Delete);
  QTest::keyClicks(edit, text);
}

// Types `text` into edit `id`, then presses `button`.
void TypeAndPress(QWidget* dialog, int id, const QString& text, const QString& button = "OK") {
  Type(dialog, id, text);
  ClickLater(FindButton(dialog, button));
}

TEST_F(DialogsTest, RenameFocusesTheNewNameAndTakesAtMost31Characters) {
  RenameDialogData data{"Tree", "Tree"};
  QString oldNameShown, typed;
  bool focused = false;
  answerer.Expect([&](QWidget* widget) {
    auto* dialog = qobject_cast<gui::RenameDialog*>(widget);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Rename"));
    oldNameShown = qobject_cast<QLabel*>(dialog->Control(ids::kRenameOldName))->text();
    QLineEdit* edit = dialog->Edit(ids::kRenameNewName);
    focused = dialog->focusWidget() == edit && edit->selectedText() == QStringLiteral("Tree");
    EXPECT_EQ(edit->accessibleName(), QStringLiteral("New Name"));
    QTest::keyClicks(edit, QString(40, u'x'));  // replaces the selection, stops at 31
    typed = edit->text();
    ClickLater(FindButton(dialog, QStringLiteral("OK")));
  });
  ASSERT_TRUE(toolkit.RunRenameDialog(data));
  EXPECT_EQ(oldNameShown, QStringLiteral("Tree"));
  EXPECT_TRUE(focused);
  EXPECT_EQ(typed, QString(31, u'x'));
  EXPECT_EQ(data.m_newName, std::string(31, 'x'));
  EXPECT_EQ(data.m_oldName, "Tree");
}

TEST_F(DialogsTest, RenameKeepsALongerNameWholeAndRefusesItUntilShortened) {
  const std::string longName(35, 'W');
  RenameDialogData data{longName, longName};
  SeenBox refusal;
  QString shown;
  answerer.Expect([&](QWidget* dialog) {
    auto* rename = qobject_cast<gui::RenameDialog*>(dialog);
    shown = rename->Edit(ids::kRenameNewName)->text();
    // The old name is too wide for its line: shortened on screen, whole for assistive tools.
    auto* oldName = qobject_cast<QLabel*>(rename->Control(ids::kRenameOldName));
    EXPECT_LE(oldName->fontMetrics().horizontalAdvance(oldName->text()), oldName->width());
    EXPECT_EQ(oldName->accessibleName(), QString(35, u'W'));
    ClickLater(FindButton(dialog, QStringLiteral("OK")));
  });
  answerer.Expect(Press(refusal, QStringLiteral("OK")));
  answerer.Expect([&](QWidget* dialog) {
    QLineEdit* edit = qobject_cast<gui::RenameDialog*>(dialog)->Edit(ids::kRenameNewName);
    EXPECT_EQ(dialog->focusWidget(), edit);
    edit->setCursorPosition(static_cast<int>(edit->text().size()));
    QTest::keyClick(edit, Qt::Key_A);  // no room for more
    for (int i = 0; i < 4; ++i) {
      QTest::keyClick(edit, Qt::Key_Backspace);
    }
    ClickLater(FindButton(dialog, QStringLiteral("OK")));
  });
  ASSERT_TRUE(toolkit.RunRenameDialog(data));
  EXPECT_EQ(shown, QString(35, u'W'));
  EXPECT_EQ(refusal.text, QStringLiteral("Please enter no more than 31 characters."));
  EXPECT_EQ(refusal.title, QStringLiteral("Runebin"));
  EXPECT_EQ(data.m_newName, std::string(31, 'W'));
}

TEST_F(DialogsTest, RenameCancelledChangesNothingAndNamesKeepEveryByte) {
  RenameDialogData data{"\xC9t\xE9", "\xC9t\xE9"};
  answerer.Expect(
      [&](QWidget* dialog) { TypeAndPress(dialog, ids::kRenameNewName, "Oak", "Cancel"); });
  EXPECT_FALSE(toolkit.RunRenameDialog(data));
  EXPECT_EQ(data.m_newName, "\xC9t\xE9");

  answerer.Expect([&](QWidget* dialog) {
    QLineEdit* edit = qobject_cast<gui::RenameDialog*>(dialog)->Edit(ids::kRenameNewName);
    EXPECT_EQ(edit->text(), QString::fromUtf8("\u00C9t\u00E9"));
    edit->setCursorPosition(static_cast<int>(edit->text().size()));
    edit->insert(QString::fromUtf8("\u20AC"));  // as typed with a keyboard that has it
    ClickLater(FindButton(dialog, QStringLiteral("OK")));
  });
  ASSERT_TRUE(toolkit.RunRenameDialog(data));
  EXPECT_EQ(data.m_newName, "\xC9t\xE9\x80");
}

TEST_F(DialogsTest, WmfImportChecksMaxSizeThenNameWithTheProgramsMessages) {
  WmfImportDialogData data{"tree.wmf", 25.0F};
  QString nameShown, sizeShown;
  SeenBox notANumber, outOfRange;
  bool sizeFocusedAfterRefusal = false;
  answerer.Expect([&](QWidget* widget) {
    auto* dialog = qobject_cast<gui::WmfImportDialog*>(widget);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("WMF Import"));
    nameShown = dialog->Edit(ids::kImportName)->text();
    sizeShown = dialog->Edit(ids::kImportMaxSize)->text();
    TypeAndPress(dialog, ids::kImportMaxSize, QStringLiteral("abc"));
  });
  answerer.Expect(Press(notANumber, QStringLiteral("OK")));
  answerer.Expect([&](QWidget* dialog) {
    sizeFocusedAfterRefusal =
        dialog->focusWidget() ==
        qobject_cast<gui::WmfImportDialog*>(dialog)->Edit(ids::kImportMaxSize);
    TypeAndPress(dialog, ids::kImportMaxSize, QStringLiteral("-1"));
  });
  answerer.Expect(Press(outOfRange, QStringLiteral("OK")));
  answerer.Expect([&](QWidget* dialog) {
    Type(dialog, ids::kImportName, QString(40, u'n'));
    TypeAndPress(dialog, ids::kImportMaxSize, QStringLiteral(" 0 "));
  });

  ASSERT_TRUE(toolkit.RunWmfImportDialog(data));
  EXPECT_EQ(nameShown, QStringLiteral("tree.wmf"));
  EXPECT_EQ(sizeShown, QStringLiteral("25"));
  EXPECT_EQ(notANumber.text, QStringLiteral("Please enter a number."));
  EXPECT_TRUE(sizeFocusedAfterRefusal);
  EXPECT_EQ(outOfRange.text, QStringLiteral("Please enter a number between 0 and 100000000."));
  EXPECT_EQ(data.m_name, std::string(31, 'n'));
  EXPECT_EQ(data.m_maxSize, 0.0F);
  EXPECT_TRUE(answerer.Unexpected().isEmpty());
}

TEST_F(DialogsTest, WmfImportCancelledLeavesTheDataAlone) {
  WmfImportDialogData data{"tree.wmf", 100.0F};
  answerer.Expect(
      [&](QWidget* dialog) { TypeAndPress(dialog, ids::kImportMaxSize, "7", "Cancel"); });
  EXPECT_FALSE(toolkit.RunWmfImportDialog(data));
  EXPECT_EQ(data.m_maxSize, 100.0F);
  EXPECT_EQ(data.m_name, "tree.wmf");
}

TEST_F(DialogsTest, TheAboutBoxShowsIconTextsAndOkAndAnyWayOfLeavingDismissesIt) {
  const gui::DialogUnitConverter units(gui::DialogFont(kAboutBoxLayout));
  QRect okPlace;
  QSize iconSize;
  QStringList texts;
  answerer.Expect([&](QWidget* dialog) {
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("About Runebin"));
    EXPECT_EQ(dialog->size(), units.ToPixels(kAboutBoxLayout.width, kAboutBoxLayout.height));
    QWidget* ok = FindButton(dialog, QStringLiteral("OK"));
    okPlace = ok->geometry();
    EXPECT_EQ(dialog->focusWidget(), ok);
    for (QLabel* label : dialog->findChildren<QLabel*>()) {
      if (!label->pixmap().isNull()) {
        iconSize = label->pixmap().size();
        EXPECT_LT(label->x(), units.ToPixelsX(40));
      } else {
        texts.append(label->text());
      }
    }
    ClickLater(ok);
  });
  answerer.Expect([](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
  answerer.Expect([](QWidget* dialog) {
    QMetaObject::invokeMethod(dialog, &QWidget::close, Qt::QueuedConnection);
  });
  toolkit.RunAboutBox();
  toolkit.RunAboutBox();
  toolkit.RunAboutBox();
  EXPECT_EQ(okPlace, units.ToPixels(178, 7, 50, 14));
  EXPECT_EQ(iconSize, QSize(32, 32));
  EXPECT_TRUE(texts.contains(QStringLiteral("Runebin Version 1.0 alpha 2")));
  ASSERT_FALSE(texts.isEmpty());
  EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [](const QString& text) {
    return text.startsWith(QStringLiteral(
        "You should back up all files before using this software. It may work, it may not."));
  }));
  EXPECT_EQ(answerer.Pending(), 0);
  EXPECT_TRUE(answerer.Unexpected().isEmpty());
}

// What the screenshots show a person, checked for every dialog: no label is cut off by its
// control with the font the dialog ends up with.
TEST(LayoutFit, EveryLabelFitsItsControlInEveryDialog) {
  for (const DialogLayout* layout :
       {&kMainDialogLayout, &kAboutBoxLayout, &kRenameDialogLayout, &kWmfImportDialogLayout}) {
    gui::LayoutDialog dialog(nullptr, *layout, gui::ApplicationIcon());
    for (const auto& entry : dialog.Form().Controls()) {
      const QString label = QString::fromUtf8(entry.layout->label.data(),
                                              static_cast<qsizetype>(entry.layout->label.size()));
      SCOPED_TRACE(std::string(layout->caption) + ": " + label.toStdString());
      const QFontMetrics metrics(entry.widget->font());
      if (auto* text = qobject_cast<QLabel*>(entry.widget); text != nullptr && !label.isEmpty()) {
        if (text->wordWrap()) {
          EXPECT_GT(text->heightForWidth(text->width()), 0);
          EXPECT_LE(text->heightForWidth(text->width()), text->height());
        } else {
          EXPECT_LE(metrics.boundingRect(text->rect(), 0, label).width(), text->width());
        }
        for (const QString& word : label.split(QRegularExpression(QStringLiteral("\\s+")))) {
          EXPECT_LE(metrics.horizontalAdvance(word), text->width());
        }
      } else if (auto* button = qobject_cast<QPushButton*>(entry.widget)) {
        // Room for the text and the frame on both sides.
        EXPECT_LE(metrics.horizontalAdvance(label) + 2 * metrics.averageCharWidth(),
                  button->width());
        EXPECT_LE(metrics.height(), button->height());
      }
    }
  }
}

}  // namespace
}  // namespace runebin
