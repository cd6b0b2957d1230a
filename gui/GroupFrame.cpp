#include "gui/GroupFrame.h"

#include <qdrawutil.h>
#include <QFontMetrics>
#include <QPainter>
#include <QStyle>

namespace runebin::gui {

void GroupFrame::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QFontMetrics metrics(font());
  const int captionIndent = metrics.averageCharWidth();
  const int captionGap = metrics.averageCharWidth() / 2;

  // An etched line; the styles' own group box frame insists on leaving room for the caption.
  qDrawShadeRect(&painter, rect().adjusted(0, metrics.height() / 2, 0, 0), palette(), true, 1, 0);

  const QString caption = title();
  if (caption.isEmpty()) {
    return;
  }
  // The caption interrupts the top line: clear a strip behind it, then write it.
  const int captionWidth = metrics.horizontalAdvance(caption);
  const QRect captionRect(captionIndent + captionGap, 0, captionWidth, metrics.height());
  painter.fillRect(captionRect.adjusted(-captionGap, 0, captionGap, 0),
                   palette().brush(backgroundRole()));
  style()->drawItemText(&painter, captionRect,
                        Qt::AlignLeft | Qt::AlignVCenter | Qt::TextHideMnemonic, palette(),
                        isEnabled(), caption, QPalette::WindowText);
}

}  // namespace runebin::gui
