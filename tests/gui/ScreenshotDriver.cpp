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

namespace runebin {
namespace {

using namespace runebin::testing;

Bytes Catalog(const std::vector<std::string>& names, std::size_t references) {
  std::vector<Bytes> records{TypeZero(1)};
  for (std::size_t i = 0; i < names.size(); ++i) {
    const float size = 4.0F + 2.5F * static_cast<float>(i);
    records.push_back(Definition(names[i], {Record(2, Bytes(8, 1))}, {0, 0, size, size * 0.75F}));
  }
  for (std::size_t i = 0; i < references; ++i) {
    records.push_back(Reference(names[i % names.size()]));
  }
  return Drawing(records);
}

int TakeScreenshots(const QString& folder) {
  if (!QDir().mkpath(folder)) {
    std::fprintf(stderr, "runebin_screenshots: cannot create %s\n", qPrintable(folder));
    return 1;
  }
  bool failed = false;
  const auto take = [&](QWidget* widget, const QString& name) {
    QApplication::processEvents();
    const QString path = QDir(folder).filePath(name);
    if (!widget->grab().save(path)) {
      std::fprintf(stderr, "runebin_screenshots: cannot write %s\n", qPrintable(path));
      failed = true;
    }
    std::printf("%s\n", qPrintable(path));
  };
  // An answer that takes the picture of a box, then presses `button`.
  const auto takeAndPress = [&](const QString& name, const QString& button) {
    return [&take, name, button](QWidget* box) {
      take(box, name);
      ClickLater(FindButton(box, button));
    };
  };
  TempDir files;
  const std::string landscape = files.Write(
      "Landscape.pvx",
      Catalog({"Tree", "Oak", "Birch", "Garden Bench", "Fountain", "Street Lamp (double arm)"}, 9));
  const std::string catalog =
      files.Write("Site Furniture Catalog.pvs", Catalog({"Bollard", "Bin", "Bench", "Planter"}, 0));

  gui::QtToolkit toolkit;
  ModalAnswerer answerer(&toolkit.Window());
  answerer.Expect(takeAndPress(QStringLiteral("about.png"), QStringLiteral("OK")));
  toolkit.RunAboutBox();

  MainDialog dialog(toolkit, files.Path("entities.txt"));
  const auto click = [&](int id) {
    QTest::mouseClick(toolkit.Window().Control(id), Qt::LeftButton);
  };
  RunScripted(
      [&] {
        answerer.Expect(ChooseFile(QString::fromStdString(landscape)));
        click(ids::kOpenClose1);
        answerer.Expect([&](QWidget* fileDialog) {
          take(fileDialog, QStringLiteral("open-file.png"));
          ChooseFile(QString::fromStdString(catalog), true)(fileDialog);
        });
        click(ids::kOpenClose2);
        QListWidget* list = toolkit.Window().List(ids::kList1);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(5)).center());
        take(&toolkit.Window(), QStringLiteral("main-window.png"));
        answerer.Expect(takeAndPress(QStringLiteral("rename.png"), QStringLiteral("Cancel")));
        click(ids::kRename1);
        answerer.Expect(ChooseFile(QStringLiteral(RUNEBIN_WMF_CORPUS "/pillow-drawing.wmf")));
        answerer.Expect(takeAndPress(QStringLiteral("wmf-import.png"), QStringLiteral("Cancel")));
        click(ids::kImport1);
        answerer.Expect(takeAndPress(QStringLiteral("message.png"), QStringLiteral("OK")));
        click(ids::kImport2);
        click(ids::kDone);
      },
      [&] { dialog.Run(); });
  if (answerer.Pending() != 0 || !answerer.Unexpected().isEmpty() || failed) {
    std::fprintf(stderr, "runebin_screenshots: the window did not go as planned\n");
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
