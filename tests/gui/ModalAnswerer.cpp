#include "tests/gui/ModalAnswerer.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>

#include "gui/OpenFileDialog.h"
#include "gui/WindowText.h"

namespace runebin::testing {

ModalAnswerer::ModalAnswerer(QWidget* ignored) : ignored_(ignored) {
  timer_.setInterval(5);
  connect(&timer_, &QTimer::timeout, this, &ModalAnswerer::Poll);
  timer_.start();
}

void ModalAnswerer::Poll() {
  QWidget* top = QApplication::activeModalWidget();
  if (top == nullptr || top == ignored_ || !top->isVisible()) {
    waitingForChange_ = waitingForChange_ && top == lastAnswered_;
    return;
  }
  // The same widget is answered again only after something else was on top in between (a
  // dialog whose OK raised a message box that has been dismissed since).
  if (waitingForChange_ && top == lastAnswered_) {
    return;
  }
  lastAnswered_ = top;
  waitingForChange_ = true;
  if (answers_.empty()) {
    unexpected_.append(QString::fromLatin1(top->metaObject()->className()) + QStringLiteral(": ") +
                       top->windowTitle());
    if (auto* dialog = qobject_cast<QDialog*>(top)) {
      QMetaObject::invokeMethod(dialog, &QDialog::reject, Qt::QueuedConnection);
    }
    return;
  }
  const Answer answer = std::move(answers_.front());
  answers_.pop_front();
  answer(top);
}

ModalAnswerer::Answer ChooseFile(const QString& path, bool readOnly) {
  return [path, readOnly](QWidget* widget) {
    auto* dialog = qobject_cast<QFileDialog*>(widget);
    if (dialog == nullptr) {
      ADD_FAILURE() << "expected the file dialog, got " << widget->metaObject()->className();
      QMetaObject::invokeMethod(widget, &QWidget::close, Qt::QueuedConnection);
      return;
    }
    if (auto* box = dialog->findChild<QCheckBox*>(QLatin1String(gui::kReadOnlyCheckBoxName))) {
      box->setChecked(readOnly);
    }
    if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
      name->setText(path);
    }
    QMetaObject::invokeMethod(dialog, &QDialog::accept, Qt::QueuedConnection);
  };
}

ModalAnswerer::Answer Press(const QString& button, QStringList* texts) {
  return [button, texts](QWidget* widget) {
    if (auto* box = qobject_cast<QMessageBox*>(widget); box != nullptr && texts != nullptr) {
      texts->append(box->text());
    }
    if (QWidget* target = FindButton(widget, button)) {
      ClickLater(target);
    } else {
      ADD_FAILURE() << "no button " << button.toStdString() << " on "
                    << widget->windowTitle().toStdString();
      QMetaObject::invokeMethod(widget, &QWidget::close, Qt::QueuedConnection);
    }
  };
}

void ClickLater(QWidget* button) {
  if (auto* clickable = qobject_cast<QAbstractButton*>(button)) {
    QMetaObject::invokeMethod(clickable, &QAbstractButton::click, Qt::QueuedConnection);
  }
}

QWidget* FindButton(QWidget* dialog, const QString& text) {
  for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) {
    if (gui::WithoutMnemonics(button->text()) == text && button->isVisible()) {
      return button;
    }
  }
  return nullptr;
}

void RunScripted(const std::function<void()>& script, const std::function<void()>& run) {
  QTimer watchdog;
  watchdog.setSingleShot(true);
  QObject::connect(&watchdog, &QTimer::timeout, [] {
    std::fputs("window test hung: no one ended the modal loop\n", stderr);
    std::_Exit(3);
  });
  watchdog.start(60000);
  QTimer::singleShot(0, script);
  run();
}

}  // namespace runebin::testing
