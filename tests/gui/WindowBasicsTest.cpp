// The pieces under the window: dialog units, the 8-bit text conversions, the display check, and
// how the program starts without a display.

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QProcess>
#include <QProcessEnvironment>
#include <string>

#include "gui/DialogUnits.h"
#include "gui/DisplayCheck.h"
#include "gui/WindowText.h"

namespace runebin {
namespace {

TEST(DialogUnits, ConvertCornersSoThatTouchingControlsStillTouch) {
  const gui::DialogUnitConverter units(7, 13);  // average width 7, height 13 pixels
  EXPECT_EQ(units.ToPixels(388, 231), QSize(679, 375));
  // Open... (15..65) and Import... (65..115) touch in dialog units and in pixels.
  const QRect open = units.ToPixels(15, 19, 50, 14);
  const QRect import = units.ToPixels(65, 19, 50, 14);
  EXPECT_EQ(open.left(), 26);                  // 15 * 7 / 4 = 26.25
  EXPECT_EQ(open.right() + 1, import.left());  // 65 * 7 / 4 = 113.75 -> 114
  EXPECT_EQ(open.width(), 88);
  EXPECT_EQ(units.ToPixelsY(19), 31);  // 19 * 13 / 8 = 30.875
  EXPECT_EQ(units.ToPixelsY(4), 7);    // 6.5 rounds up
}

TEST(DialogUnits, BaseUnitsComeFromTheFontsAlphabetAndHeight) {
  QFont font = gui::DialogFont(DialogLayout{"x", 10, 10, "No Such Face At All", 8, {}});
  EXPECT_EQ(font.pointSize(), 8);
  const gui::DialogUnitConverter units(font);
  const QFontMetrics metrics(font);
  const int alphabet = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  EXPECT_EQ(units.BaseX(), (alphabet / 26 + 1) / 2);
  EXPECT_EQ(units.BaseY(), metrics.height());
  EXPECT_GT(units.BaseX(), 2);
}

TEST(WindowText, NamesSurviveTheRoundTripThroughQtWhateverTheirBytes) {
  std::string every;
  for (int byte = 1; byte < 256; ++byte) {
    every.push_back(static_cast<char>(byte));
  }
  const QString shown = gui::NameToQt(every);
  EXPECT_EQ(shown.size(), 255);
  EXPECT_EQ(gui::NameFromQt(shown), every);
  EXPECT_EQ(gui::NameToQt("\x80\x93\xE9"), QString::fromUtf8("\u20AC\u201C\u00E9"));
  // Characters the code page lacks, including ones outside the basic plane, become one '?'.
  EXPECT_EQ(gui::NameFromQt(QString::fromUtf8("a\u4E2D\U0001F600b")), "a??b");
}

TEST(WindowText, MessagesReadUtf8WhenValidAndTheCodePageOtherwise) {
  EXPECT_EQ(gui::TextToQt("/home/j\xC3\xB6rg/a.pvx"), QString::fromUtf8("/home/j\u00F6rg/a.pvx"));
  EXPECT_EQ(gui::TextToQt("renamed \"\xE9t\xE9\""), QString::fromUtf8("renamed \"\u00E9t\u00E9\""));
  EXPECT_EQ(gui::WithoutMnemonics(QStringLiteral("&About Runebin...")),
            QStringLiteral("About Runebin..."));
  EXPECT_EQ(gui::WithoutMnemonics(QStringLiteral("Fish && &Chips")),
            QStringLiteral("Fish & Chips"));
}

TEST(DisplayCheck, ADisplayIsNeededUnlessAPlatformIsChosen) {
  EXPECT_FALSE(gui::HasDisplay(nullptr, nullptr, nullptr));
  EXPECT_FALSE(gui::HasDisplay("", "", ""));
  EXPECT_TRUE(gui::HasDisplay(nullptr, ":0", nullptr));
  EXPECT_TRUE(gui::HasDisplay(nullptr, nullptr, "wayland-0"));
  EXPECT_TRUE(gui::HasDisplay("offscreen", nullptr, nullptr));
}

// Runs the program with `environment` and returns its exit code and standard error.
std::pair<int, QString> RunProgram(const QProcessEnvironment& environment) {
  QProcess program;
  program.setProcessEnvironment(environment);
  program.start(QStringLiteral(RUNEBIN_PROGRAM), QStringList{});
  program.closeWriteChannel();
  if (!program.waitForFinished(30000)) {
    program.kill();
    program.waitForFinished();
    return {-1, QStringLiteral("did not finish")};
  }
  return {program.exitCode(), QString::fromLocal8Bit(program.readAllStandardError())};
}

TEST(ProgramStart, WithoutADisplayItSaysSoInOneLineAndFails) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove(QStringLiteral("DISPLAY"));
  environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
  environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
  const auto [code, errors] = RunProgram(environment);
  EXPECT_EQ(code, 1);
  EXPECT_EQ(errors.count(u'\n'), 1) << errors.toStdString();
  EXPECT_TRUE(errors.startsWith(QStringLiteral("runebin: cannot open a window: no display")))
      << errors.toStdString();

  // A display that cannot be reached ends the same way, not with the toolkit's abort.
  environment.insert(QStringLiteral("DISPLAY"), QStringLiteral(":8765"));
  const auto [unreachableCode, unreachableErrors] = RunProgram(environment);
  EXPECT_EQ(unreachableCode, 1);
  EXPECT_EQ(unreachableErrors.count(u'\n'), 1) << unreachableErrors.toStdString();
  EXPECT_TRUE(unreachableErrors.startsWith(QStringLiteral("runebin: cannot open a window:")));
}

}  // namespace
}  // namespace runebin
