// Takes the pictures of the window program that a person looks over for clipped or overlapping
// controls: the about box, the main window with two files open and a symbol selected, the
// open-file dialog, the Rename and WMF Import dialogs and a message box, over files made up on
// the spot. Usage: runebin_screenshots OUTPUT_FOLDER (on a display or under Xvfb; see
// scripts/screenshots.sh).

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QTest>
#include <cstdio>

#include "app/MainDialog.h"
#include "gui/MainWindow.h"
#include "gui/QtToolkit.h"
#include "resources/ControlIds.h"
#include "tests/gui/ModalAnswerer.h"
#include "tests/support/DrawingBuilder.h"
#include "tests/support/TempDir.h"
#include "tools/ScreenshotFiles.h"

namespace runebin {
namespace {

using namespace runebin::testing;

int TakeScreenshots(const QString& folder) {
  TempDir files;
  const ScreenshotFiles made = WriteScreenshotFiles(files, RUNEBIN_WMF_CORPUS);
  const std::string& landscape = made.landscape;
  const std::string& catalog = made.catalog;
  gui::QtToolkit toolkit;
  ModalAnswerer answerer(&toolkit.Window());
  bool failed = !QDir().mkpath(folder);
  // Takes the picture of `name` (a box is answered with `button` afterwards).
  const auto take = [&](const QString& name, const QString& button = {}) {
    return [&failed, path = QDir(folder).filePath(name), button](QWidget* widget) {
      QApplication::processEvents();
      failed = !widget->grab().save(path) || failed;
      std::printf("%s\n", qPrintable(path));
      ClickLater(button.isEmpty() ? nullptr : FindButton(widget, button));
    };
  };
  const auto click = [&](int id) {
    QTest::mouseClick(toolkit.Window().Control(id), Qt::LeftButton);
  };
  answerer.Expect(take(QStringLiteral("about.png"), QStringLiteral("OK")));
  toolkit.RunAboutBox();
  MainDialog dialog(toolkit, files.Path("entities.txt"));
  RunScripted(
      [&] {
        answerer.Expect(ChooseFile(QString::fromStdString(landscape)));
        click(ids::kOpenClose1);
        answerer.Expect([&](QWidget* fileDialog) {
          take(QStringLiteral("open-file.png"))(fileDialog);
          ChooseFile(QString::fromStdString(catalog), true)(fileDialog);
        });
        click(ids::kOpenClose2);
        QListWidget* list = toolkit.Window().List(ids::kList1);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(5)).center());
        take(QStringLiteral("main-window.png"))(&toolkit.Window());
        answerer.Expect(take(QStringLiteral("rename.png"), QStringLiteral("Cancel")));
        click(ids::kRename1);
        answerer.Expect(ChooseFile(QStringLiteral(RUNEBIN_WMF_CORPUS "/pillow-drawing.wmf")));
        answerer.Expect(take(QStringLiteral("wmf-import.png"), QStringLiteral("Cancel")));
        click(ids::kImport1);
        answerer.Expect(take(QStringLiteral("message.png"), QStringLiteral("OK")));
        click(ids::kImport2);
        click(ids::kDone);
      },
      [&] { dialog.Run(); });
  if (failed || answerer.Pending() != 0 || !answerer.Unexpected().isEmpty()) {
    std::fprintf(stderr, "runebin_screenshots: a picture could not be taken or written\n");
    return 1;
  }
  return 0;
}

}  // namespace
}  // namespace runebin

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: runebin_screenshots OUTPUT_FOLDER\n");
    return 2;
  }
  return runebin::TakeScreenshots(QString::fromLocal8Bit(argv[1]));
}
