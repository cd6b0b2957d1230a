// The window program: the about box, then the main window until Done.

#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "app/MainDialog.h"
#include "gui/ApplicationIcon.h"
#include "gui/CommandLine.h"
#include "gui/DisplayCheck.h"
#include "gui/MessageBoxes.h"
#include "gui/QtToolkit.h"

int main(int argc, char** argv) {
  using namespace runebin;
  if (const auto answered = gui::AnswerCommandLine(argc, argv, stdout)) {
    return std::fflush(stdout) == 0 ? *answered : 1;
  }
  if (!gui::HasDisplay(std::getenv("QT_QPA_PLATFORM"), std::getenv("DISPLAY"),
                       std::getenv("WAYLAND_DISPLAY"))) {
    std::fputs(
        "runebin: cannot open a window: no display (neither DISPLAY nor WAYLAND_DISPLAY "
        "is set)\n",
        stderr);
    return 1;
  }
  gui::BeginStartupGuard();
  QApplication application(argc, argv);
  gui::EndStartupGuard();

  QApplication::setApplicationName(QString::fromLatin1(gui::kApplicationName));
  // The installed desktop entry, runebin.desktop, whose icon a Wayland desktop shows.
  QGuiApplication::setDesktopFileName(QStringLiteral("runebin"));
  QApplication::setWindowIcon(gui::ApplicationIcon());
  gui::QtToolkit toolkit;
  return RunApplication(toolkit);
}
