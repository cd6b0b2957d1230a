#pragma once

#include <QIcon>

class QWidget;

namespace runebin::gui {

// Runs the about box modally over `parent` (or on its own when null): the application icon, the
// version and warning texts, and OK. OK, Escape and the close box all dismiss it.
void RunAboutBox(QWidget* parent, const QIcon& icon);

}  // namespace runebin::gui
