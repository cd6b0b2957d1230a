#pragma once

#include <QIcon>

namespace runebin::gui {

// The application icon with its 32x32 and 16x16 images, for the windows' title bars, the task
// bar and the about box. Needs a QGuiApplication.
QIcon ApplicationIcon();

}  // namespace runebin::gui
