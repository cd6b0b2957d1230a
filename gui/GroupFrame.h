#pragma once

#include <QGroupBox>

namespace runebin::gui {

// A group box drawn the way the layout tables assume: the frame's top line runs through the
// middle of the caption, so the caption takes no room of its own and controls placed just below
// the box's top edge sit inside the frame. (Qt's styles put the caption above the frame, which
// would push the frame down onto those controls.)
class GroupFrame : public QGroupBox {
  Q_OBJECT

 public:
  explicit GroupFrame(QWidget* parent) : QGroupBox(parent) {}

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace runebin::gui
