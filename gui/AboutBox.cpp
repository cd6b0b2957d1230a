#include "gui/AboutBox.h"

#include "gui/LayoutDialog.h"
#include "resources/AboutBoxLayout.h"

namespace runebin::gui {

void RunAboutBox(QWidget* parent, const QIcon& icon) {
  LayoutDialog about(parent, kAboutBoxLayout, icon);
  about.setObjectName(QStringLiteral("aboutBox"));
  about.exec();
}

}  // namespace runebin::gui
