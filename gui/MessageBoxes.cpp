#include "gui/MessageBoxes.h"

#include <QMessageBox>

namespace runebin::gui {

Answer ShowWarningMessage(QWidget* parent, const QString& text, MessageKind kind) {
  QMessageBox box(parent);
  box.setWindowTitle(QString::fromLatin1(kApplicationName));
  box.setIcon(QMessageBox::Warning);
  box.setTextFormat(Qt::PlainText);
  box.setText(text);
  if (kind == MessageKind::YesNo) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
  } else {
    box.setStandardButtons(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
  }
  const int result = box.exec();
  if (kind == MessageKind::YesNo) {
    return result == QMessageBox::Yes ? Answer::Yes : Answer::No;
  }
  return Answer::Ok;
}

}  // namespace runebin::gui
