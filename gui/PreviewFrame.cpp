#include "gui/PreviewFrame.h"

#include <QPainter>

#include "gui/PicturePainter.h"

namespace runebin::gui {
namespace {

// Pixels between the frame and the picture, so that outlines on the bounds stay whole.
constexpr double kMargin = 4;

}  // namespace

PreviewFrame::PreviewFrame(QWidget* parent) : QFrame(parent) {
  setFrameStyle(QFrame::Box | QFrame::Plain);
  setLineWidth(1);
  QPalette colours = palette();
  colours.setColor(QPalette::WindowText, Qt::black);
  setPalette(colours);
  setFocusPolicy(Qt::NoFocus);
}

void PreviewFrame::SetPicture(std::shared_ptr<const DisplayList> picture,
                              const QString& description) {
  picture_ = std::move(picture);
  setAccessibleDescription(description);
  update();
}

void PreviewFrame::paintEvent(QPaintEvent* event) {
  if (picture_) {
    QPainter painter(this);
    PaintDisplayList(painter, *picture_, QRectF(contentsRect()), kMargin);
  }
  QFrame::paintEvent(event);  // the frame over the picture's edge
}

}  // namespace runebin::gui
