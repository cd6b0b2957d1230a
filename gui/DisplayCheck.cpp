#include "gui/DisplayCheck.h"

#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>

namespace runebin::gui {

namespace {

[[maybe_unused]] bool IsSet(const char* value) {
  return value != nullptr && value[0] != '\0';
}

// The first warning of the start-up, usually the precise reason ("could not connect to display").
QString& FirstStartupWarning() {
  static QString warning;
  return warning;
}

// While the platform plugin starts, its messages are held back and a fatal error ends the
// program with one line: a missing or unreachable display is a user's situation, not a crash.
void StartupMessageHandler(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type != QtFatalMsg) {
    if (FirstStartupWarning().isEmpty()) {
      FirstStartupWarning() = message.section(u'\n', 0, 0);
    }
    return;
  }
  const QString reason =
      FirstStartupWarning().isEmpty() ? message.section(u'\n', 0, 0) : FirstStartupWarning();
  std::fprintf(stderr, "runebin: cannot open a window: %s\n", qPrintable(reason));
  std::fflush(stderr);
  std::_Exit(1);
}

}  // namespace

bool HasDisplay(const char* qpaPlatform, const char* display, const char* waylandDisplay) {
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
  (void)qpaPlatform;
  (void)display;
  (void)waylandDisplay;
  return true;
#else
  return IsSet(qpaPlatform) || IsSet(display) || IsSet(waylandDisplay);
#endif
}

void BeginStartupGuard() {
  qInstallMessageHandler(StartupMessageHandler);
}

void EndStartupGuard() {
  qInstallMessageHandler(nullptr);
  FirstStartupWarning().clear();
}

}  // namespace runebin::gui
