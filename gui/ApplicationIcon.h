#pragma once

#include <QIcon>
#include <QImage>

#include "resources/AppIcon.h"

namespace runebin::gui {

// The application icon with its 32x32 and 16x16 images, for the windows' title bars, the task
// bar and the about box. Needs a QGuiApplication.
QIcon ApplicationIcon();

// One drawing of the icon as an image; needs no application object.
QImage IconImage(const IconArt& art);

}  // namespace runebin::gui
