// Takes the pictures of the window program that a person looks over for clipped or overlapping
// controls: the about box, the main window with two files open and a symbol selected, the
// open-file dialog, the Rename and WMF Import dialogs and a message box. The files shown are
// made up on the spot. Usage: runebin_screenshots OUTPUT_FOLDER (run it on a real display or
// under Xvfb; scripts/screenshots.sh does that).

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QPixmap>
#include <QTest>
#include <cstdio>
#include <string>
#include <vector>

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

Bytes Catalog(const std::vector<std::string>& names, int references) {
  std::vector<Bytes> records{TypeZero(1)};
  float size = 4.0F;
  for (const std::string& name : names) {
    records.push_back(Definition(name, {Record(2, Bytes(8, 1))}, {0, 0, size, size * 0.75F}));
    size += 2.5F;
  }
  for (int i = 0; i < references; ++i) {
    records.push_back(Reference(names[static_cast<std::size_t>(i) % names.size()]));
  }
  return Drawing(records);
}

class Photographer {
 public:
  explicit Photographer(QString folder) : folder_(std::move(folder)) {}

  void Take(QWidget* widget, const QString& name) {
    QApplication::processEvents();
    const QString path = QDir(folder_).filePath(name);
    if (widget->grab().save(path)) {
      std::printf("%s\n", qPrintable(path));
    } else {
      std::fprintf(stderr, "runebin_screenshots: cannot write %s\n", qPrintable(path));
      failed_ = true;
    }
  }
  // An answer that takes the picture of the box, then presses `button`.
  ModalAnswerer::Answer TakeAndPress(const QString& name, const QString& button) {
    return [this, name, button](QWidget* box) {
      Take(box, name);
      ClickLater(FindButton(box, button));
    };
  }
  bool Failed() const { return failed_; }

 private:
  QString folder_;
  bool failed_ = false;
};

int TakeScreenshots(const QString& folder) {
  if (!QDir().mkpath(folder)) {
    std::fprintf(stderr, "runebin_screenshots: cannot create %s\n", qPrintable(folder));
    return 1;
  }
  TempDir files;
  const std::string landscape = files.Write(
      "Landscape.pvx",
      Catalog({"Tree", "Oak", "Birch", "Garden Bench", "Fountain", "Street Lamp (double arm)"}, 9));
  const std::string catalog =
      files.Write("Site Furniture Catalog.pvs", Catalog({"Bollard", "Bin", "Bench", "Planter"}, 0));
  const std::string metafile = RUNEBIN_WMF_CORPUS "/pillow-drawing.wmf";

  Photographer camera(folder);
  gui::QtToolkit toolkit;
  ModalAnswerer answerer(&toolkit.Window());
  answerer.Expect(camera.TakeAndPress(QStringLiteral("about.png"), QStringLiteral("OK")));
  toolkit.RunAboutBox();

  MainDialog dialog(toolkit, files.Path("entities.txt"));
  auto click = [&](int id) { QTest::mouseClick(toolkit.Window().Control(id), Qt::LeftButton); };
  RunScripted(
      [&] {
        answerer.Expect(ChooseFile(QString::fromStdString(landscape)));
        click(ids::kOpenClose1);
        answerer.Expect([&](QWidget* fileDialog) {
          camera.Take(fileDialog, QStringLiteral("open-file.png"));
          ChooseFile(QString::fromStdString(catalog), true)(fileDialog);
        });
        click(ids::kOpenClose2);

        QListWidget* list = toolkit.Window().List(ids::kList1);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(5)).center());
        camera.Take(&toolkit.Window(), QStringLiteral("main-window.png"));

        answerer.Expect(
            camera.TakeAndPress(QStringLiteral("rename.png"), QStringLiteral("Cancel")));
        click(ids::kRename1);
        answerer.Expect(ChooseFile(QString::fromStdString(metafile)));
        answerer.Expect(
            camera.TakeAndPress(QStringLiteral("wmf-import.png"), QStringLiteral("Cancel")));
        click(ids::kImport1);
        answerer.Expect(camera.TakeAndPress(QStringLiteral("message.png"), QStringLiteral("OK")));
        click(ids::kImport2);
        click(ids::kDone);
      },
      [&] { dialog.Run(); });

  if (answerer.Pending() != 0 || !answerer.Unexpected().isEmpty()) {
    std::fprintf(stderr, "runebin_screenshots: the window did not go as planned\n");
    return 1;
  }
  return camera.Failed() ? 1 : 0;
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
